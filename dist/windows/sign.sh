#!/usr/bin/env bash
# Signs the Windows program with Authenticode through Debian's osslsigncode,
# builds the Windows Installer package from the signed program, signs the
# package too, checks both signatures, and writes SHA256SUMS beside them.
#
# Usage: sign.sh OUTPUT-FOLDER PROGRAM.exe PACKAGE-NAME.msi MAKE-MSI ARGUMENTS...
# where ARGUMENTS are make-msi.sh's (x86|x64 SOURCE.wxs NAME TIME-FILE) and
# then the files the package carries besides the program. The key comes
# from the environment, never from the command line, where other users of
# the machine could read it:
#   PLANINI_SIGN_CERTIFICATE and PLANINI_SIGN_KEY  the certificate (with the
#       certificates that lead to the school's CA, if any) and its key, PEM;
#   or PLANINI_SIGN_PKCS12  both in one PKCS#12 (.pfx or .p12) file;
#   PLANINI_SIGN_PASSWORD_FILE  a file that holds the key's or the PKCS#12
#       file's password (or PLANINI_SIGN_PASSWORD, the password itself);
#   PLANINI_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server, so that the
#       signatures stay valid after the certificate expires;
#   PLANINI_SIGN_CAFILE     the CA certificates to check the signatures
#       against (PEM; the machine's own by default);
#   PLANINI_SIGN_CRLFILE    the CA's revocation list, to check that the
#       certificate was not revoked. Without it no list is fetched from the
#       address the certificate names: signing works offline, and with a
#       school CA whose list only the school's own network reaches.
# A run that fails leaves no OUTPUT-FOLDER, not even one from before.
set -euo pipefail
output=$1
program=$2
package_name=$3
make_msi=$4
arch=$5
source=$6
name=$7
time_file=$8
shift 8
carried=("$@")

fail() {
    echo "sign.sh: $*" >&2
    exit 1
}

# Signed files from an earlier run would look current after a failed one.
rm -rf "$output"
credentials=()
if [ -n "${PLANINI_SIGN_PKCS12:-}" ]; then
    credentials=(-pkcs12 "$PLANINI_SIGN_PKCS12")
elif [ -n "${PLANINI_SIGN_CERTIFICATE:-}" ] && [ -n "${PLANINI_SIGN_KEY:-}" ]; then
    credentials=(-certs "$PLANINI_SIGN_CERTIFICATE" -key "$PLANINI_SIGN_KEY")
else
    fail "no key: set PLANINI_SIGN_CERTIFICATE and PLANINI_SIGN_KEY, or PLANINI_SIGN_PKCS12"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -n "${PLANINI_SIGN_PASSWORD_FILE:-}" ]; then
    [ -r "$PLANINI_SIGN_PASSWORD_FILE" ] || fail "cannot read the password file $PLANINI_SIGN_PASSWORD_FILE"
    credentials+=(-readpass "$PLANINI_SIGN_PASSWORD_FILE")
elif [ -n "${PLANINI_SIGN_PASSWORD:-}" ]; then
    (umask 077 && printf '%s' "$PLANINI_SIGN_PASSWORD" >"$work/password")
    credentials+=(-readpass "$work/password")
fi
options=(-h sha256 -n "$name")
[ -z "${PLANINI_SIGN_TIMESTAMP_URL:-}" ] || options+=(-ts "$PLANINI_SIGN_TIMESTAMP_URL")
verify_options=()
[ -z "${PLANINI_SIGN_CAFILE:-}" ] || verify_options=(-CAfile "$PLANINI_SIGN_CAFILE")
# osslsigncode from 2.6 on fetches the lists that a certificate names
# unless told not to; older ones fetch none and know no such flags.
fetches=false
[[ $(osslsigncode -h 2>&1 || true) == *-ignore-cdp* ]] && fetches=true
if [ -n "${PLANINI_SIGN_CRLFILE:-}" ]; then
    verify_options+=(-CRLfile "$PLANINI_SIGN_CRLFILE")
    ! $fetches || verify_options+=(-ignore-cdp)
elif $fetches; then
    verify_options+=(-ignore-crl)
fi

# Usage: sign_and_check UNSIGNED SIGNED
sign_and_check() {
    osslsigncode sign "${credentials[@]}" "${options[@]}" -in "$1" -out "$2" >"$work/log" 2>&1 ||
        fail "could not sign $(basename "$1"): $(grep -v '^Failed$' "$work/log" | head -n 3)"
    osslsigncode verify "${verify_options[@]}" -in "$2" >"$work/log" 2>&1 ||
        fail "the signature of $(basename "$2") does not check out$([ -n "${PLANINI_SIGN_CAFILE:-}" ] ||
            echo ' against this machine'"'"'s CAs (PLANINI_SIGN_CAFILE names others)'):
$(grep -iE 'error|fail' "$work/log" | head -n 5)"
}

# All or nothing: what was signed goes into OUTPUT-FOLDER together at the end.
mkdir -p "$work/signed"
signed_program=$work/signed/$(basename "$program")
sign_and_check "$program" "$signed_program"
"$make_msi" "$arch" "$source" "$work/unsigned.msi" "$name" "$time_file" \
    "$signed_program" "${carried[@]}"
sign_and_check "$work/unsigned.msi" "$work/signed/$package_name"
(cd "$work/signed" && sha256sum -- * >SHA256SUMS)
mkdir -p "$output"
cp "$work/signed"/* "$output/"
echo "Signed and checked: $output/$(basename "$program"), $output/$package_name"
