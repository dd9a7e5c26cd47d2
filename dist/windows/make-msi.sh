#!/usr/bin/env bash
# Builds the Windows Installer package with Debian's wixl, then gives it its
# Bulgarian name, which wixl cannot write: the tables that hold the name are
# taken out, the name put in, and they go back in with msitools' msibuild,
# the database's code page set to Windows-1251 first.
#
# The same inputs give the same bytes: wixl runs with its clock stopped at
# TIME (Debian's faketime), the files it packs carry that time, and the
# codes it would draw at random are derived: the product code from what
# makes the product (its upgrade code, version and processor), so that the
# unsigned package and a signed one of the same version are one product,
# never installed side by side; the package code from all that the package
# is made of, so that another package gets another, as Windows Installer
# wants.
#
# Usage: make-msi.sh x86|x64 SOURCE.wxs OUTPUT.msi NAME TIME-FILE FILE...
# TIME-FILE holds the package's time in seconds since 1970; the FILEs are
# what the package carries, named in SOURCE by their names.
set -euo pipefail
arch=$1
source=$2
output=$3
name=$4
time=$(<"$5")
shift 5
files=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# wixl writes local times: it runs in UTC, and so does the time given to
# faketime. Nothing else is set to UTC, so that the tests, which build the
# package again in another time zone, would see anything else depend on it.
# Whatever clock this runs under: a faked one is taken off first.
stopped_clock=(env -u LD_PRELOAD -u FAKETIME -u FAKETIME_SHARED TZ=UTC
    faketime -f "$(TZ=UTC date -d "@$time" '+%Y-%m-%d %H:%M:%S')")

# Usage: derived_code FILE...: a GUID from the SHA-256 of the FILEs, in the
# form of RFC 9562's version 8.
derived_code() {
    local digest
    digest=$(cat "$@" | sha256sum)
    local variant=$(((0x${digest:16:1} & 3) | 8))
    printf '{%s-%s-8%s-%x%s-%s}' "${digest:0:8}" "${digest:8:4}" "${digest:13:3}" \
        "$variant" "${digest:17:3}" "${digest:20:12}" | tr a-f A-F
}
identity=$(grep -oE '(^|[[:space:]])(UpgradeCode|Version)="[^"]*"' "$source" | sed 's/^[[:space:]]*//' | sort)
[ "$(wc -l <<<"$identity")" -eq 2 ] || { echo "make-msi.sh: $source has no one UpgradeCode and Version" >&2; exit 1; }
product_code=$(derived_code <(printf '%s\n' product "$arch" "$identity"))
package_code=$(derived_code <(printf '%s\n' package "$arch" "$name" "$time") "$source" "${files[@]}")

sed "s/PLANINI_PRODUCT_CODE/$product_code/" "$source" >"$work/$(basename "$source")"
cp "${files[@]}" "$work/"
touch -d "@$time" "$work"/*
(cd "$work" && "${stopped_clock[@]}" wixl --arch "$arch" -o package.msi "$(basename "$source")")
for table in Property Shortcut; do
    msiinfo export "$work/package.msi" "$table" | sed "s/PLANINI_NAME/$(sed 's/[\/&|]/\\&/g' <<<"$name")/g" \
        >"$work/$table.idt"
done
printf '\r\n\r\n1251\t_ForceCodepage\r\n' > "$work/_ForceCodepage.idt"
summary() { msiinfo suminfo "$work/package.msi" | sed -n "s/^$1: //p"; }
(cd "$work" && msibuild package.msi \
    -i _ForceCodepage.idt -i Property.idt -i Shortcut.idt \
    -s "$(summary Subject)" "$(summary Author)" "$(summary Template)" "$package_code")
mv "$work/package.msi" "$output"
