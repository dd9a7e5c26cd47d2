#!/usr/bin/env bash
# Signing as a school does it, with a throwaway CA and a code-signing
# certificate made here with OpenSSL: given as a certificate and key, or as
# a PKCS#12 file with a password, the program and the package built from it
# are signed and check out against that CA, and against no other; the
# package carries the signed program; SHA256SUMS checks; one altered byte
# breaks a signature, and with the signature removed the program is the one
# built; a wrong password, no key, another CA or a revoked certificate (by
# a revocation list given as a file) signs nothing, says so and leaves no
# folder; a certificate that names an unreachable revocation list signs
# offline.
# The signed program is left in OUTPUT-FOLDER for the test that starts it.
#
# Usage: check-signing.sh OUTPUT-FOLDER SIGN.sh SIGN-ARGUMENTS...
# SIGN-ARGUMENTS are sign.sh's after its own OUTPUT-FOLDER.
set -euo pipefail
output=$1
sign=$2
shift 2
arguments=("$@")
program_name=$(basename "$1")
package_name=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failed=0
check() {
    local what=$1
    shift
    if "$@" >>checks.log 2>&1; then
        echo "ok:   $what"
    else
        echo "FAIL: $what"
        failed=1
    fi
}
fails() { ! "$@"; }

# Usage: make_ca NAME: NAME.pem and NAME.key, a CA's.
make_ca() {
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 2 \
        -subj "/CN=$1" -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}
make_ca school-ca
make_ca stranger-ca
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
    -subj "/O=Test school/CN=Test school" 2>/dev/null
# It names a revocation list that no one serves, as a school CA's may name
# one that only the school's network reaches: signing works offline.
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\ncrlDistributionPoints=URI:http://127.0.0.1:9/school-ca.crl\n' >signer.ext
openssl x509 -req -in signer.csr -CA school-ca.pem -CAkey school-ca.key -CAcreateserial \
    -days 2 -extfile signer.ext -out signer.pem 2>/dev/null
password='a pass phrase; with "quotes" & $signs'
PASSWORD=$password openssl pkcs12 -export -inkey signer.key -in signer.pem -out signer.p12 \
    -passout env:PASSWORD
printf '%s' "$password" >password
# The school CA's revocation list, given as a file: the signer revoked.
mkdir -p ca
touch ca/index.txt
echo 01 >ca/crlnumber
printf '[ca]\ndefault_ca=school\n[school]\ndatabase=ca/index.txt\ncrlnumber=ca/crlnumber\ndefault_md=sha256\ndefault_crl_days=2\n' >ca.cnf
openssl ca -config ca.cnf -keyfile school-ca.key -cert school-ca.pem -revoke signer.pem 2>/dev/null
openssl ca -config ca.cnf -keyfile school-ca.key -cert school-ca.pem -gencrl -out revoked.crl 2>/dev/null

# Usage: signed_by WAY FOLDER: signs into FOLDER, with the key given in WAY.
signed_by() {
    local way=$1 folder=$2
    case $way in
    pem) PLANINI_SIGN_CERTIFICATE=signer.pem PLANINI_SIGN_KEY=signer.key \
        PLANINI_SIGN_CAFILE=school-ca.pem "$sign" "$folder" "${arguments[@]}" ;;
    pkcs12) PLANINI_SIGN_PKCS12=signer.p12 PLANINI_SIGN_PASSWORD_FILE=password \
        PLANINI_SIGN_CAFILE=school-ca.pem "$sign" "$folder" "${arguments[@]}" ;;
    wrong-password) PLANINI_SIGN_PKCS12=signer.p12 PLANINI_SIGN_PASSWORD=wrong \
        PLANINI_SIGN_CAFILE=school-ca.pem "$sign" "$folder" "${arguments[@]}" ;;
    stranger-ca) PLANINI_SIGN_PKCS12=signer.p12 PLANINI_SIGN_PASSWORD=$password \
        PLANINI_SIGN_CAFILE=stranger-ca.pem "$sign" "$folder" "${arguments[@]}" ;;
    no-key) "$sign" "$folder" "${arguments[@]}" ;;
    revoked) PLANINI_SIGN_PKCS12=signer.p12 PLANINI_SIGN_PASSWORD=$password \
        PLANINI_SIGN_CAFILE=school-ca.pem PLANINI_SIGN_CRLFILE=revoked.crl \
        "$sign" "$folder" "${arguments[@]}" ;;
    esac
}
# Checked offline, as sign.sh checks, where osslsigncode would fetch the
# revocation list that the certificate names.
offline=()
[[ $(osslsigncode -h 2>&1 || true) == *-ignore-crl* ]] && offline=(-ignore-crl)
verified() { osslsigncode verify "${offline[@]}" -CAfile "$1" -in "$2"; }
# Usage: altered FILE OFFSET: a copy of FILE with one byte changed.
altered() {
    cp "$1" altered
    printf '\xa5' | dd of=altered bs=1 seek="$2" conv=notrunc 2>/dev/null
    echo altered
}
carries() {
    rm -rf extracted
    msiextract -C extracted "$1" >/dev/null &&
        cmp "$(find extracted -name "$program_name" | head -n 1)" "$2"
}

for way in pem pkcs12; do
    folder=signed-$way
    check "$way: signed" signed_by "$way" "$folder"
    program=$folder/$program_name package=$folder/$package_name
    check "$way: the program checks out against the school's CA" verified school-ca.pem "$program"
    check "$way: the package checks out against the school's CA" verified school-ca.pem "$package"
    check "$way: the program does not check out against another CA" fails verified stranger-ca.pem "$program"
    check "$way: the package carries the signed program" carries "$package" "$program"
    check "$way: SHA256SUMS" sh -c "cd $folder && sha256sum --check --strict SHA256SUMS"
done
unsigned() { osslsigncode remove-signature -in "$1" -out unsigned && cmp unsigned "$2"; }
check "without its signature, the program is the one built, byte for byte" \
    unsigned "signed-pkcs12/$program_name" "${arguments[0]}"

program=signed-pkcs12/$program_name package=signed-pkcs12/$package_name
check "one byte altered in the program's code, its signature fails" \
    fails verified school-ca.pem "$(altered "$program" 4096)"
cab=$(grep -obUaP 'MSCF' "$package" | head -n 1 | cut -d: -f1)
check "one byte altered in the package's files, its signature fails" \
    fails verified school-ca.pem "$(altered "$package" $((cab + 200)))"

for way in wrong-password no-key stranger-ca revoked; do
    # What an earlier run signed goes too: it would look current.
    mkdir -p "refused-$way"
    touch "refused-$way/$program_name"
    check "$way: nothing signed" fails signed_by "$way" "refused-$way"
    check "$way: no folder left" test ! -e "refused-$way"
done
check "a wrong password is named" grep -q "could not sign $program_name" checks.log
check "a missing key is named" grep -q "no key: set PLANINI_SIGN_CERTIFICATE" checks.log
check "a signature that does not check out is named" grep -q "does not check out" checks.log
check "a revoked certificate is named" grep -qi "revoked" checks.log

rm -rf "$output"
cp -r signed-pkcs12 "$output"
[ $failed -eq 0 ] || { echo "--- what was run said:"; cat checks.log; }
exit $failed
