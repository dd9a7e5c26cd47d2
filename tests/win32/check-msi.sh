#!/usr/bin/env bash
# Fails unless the Windows Installer package is what school IT should get,
# read back with Debian's msitools, with no Windows and no Wine: a package
# for the program's processor, its Bulgarian name and version, the Program
# Files folder of that processor, 64-bit components for x64 only, the name's
# code page (Windows-1251), and the program itself inside, byte for byte.
# Made again from the same files, later and elsewhere, it is the same bytes;
# made for another version, it has other product and package codes; made
# with another program in it (a signed one), the same product code and
# another package code.
#
# Usage: check-msi.sh x86|x64 PACKAGE.msi PROGRAM.exe VERSION NAME
#                     MAKE-MSI SOURCE.wxs TIME-FILE ICON.ico
set -euo pipefail
arch=$1
package=$2
program=$3
version=$4
name=$5
make_msi=$6
source=$7
time_file=$8
icon=$9
case $arch in
x86) platform=Intel folder=ProgramFilesFolder component_bits=0 ;;
x64) platform=x64 folder=ProgramFiles64Folder component_bits=256 ;;
*)
    echo "usage: check-msi.sh x86|x64 PACKAGE.msi PROGRAM.exe VERSION NAME MAKE-MSI SOURCE.wxs TIME-FILE ICON.ico" >&2
    exit 2
    ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok:   $what"
    else
        echo "FAIL: $what"
        failed=1
    fi
}
# Usage: has_row TABLE FIELD...: TABLE has a row that begins with these.
has_row() { has_row_in "$package" "$@"; }
# Usage: has_row_in PACKAGE TABLE FIELD...: a row of TABLE starts with the FIELDs.
has_row_in() {
    local from=$1 table=$2 IFS=$'\t' row
    shift 2
    while read -r row; do
        [[ $row == "$*" || $row == "$*"$'\t'* ]] && return 0
    done < <(msiinfo export "$from" "$table" | tr -d '\r')
    return 1
}
# Each component is (or is not) 64-bit as the package is.
components_are() {
    msiinfo export "$package" Component | tail -n +4 |
        awk -F'\t' -v bits="$1" 'int($4 / 256) % 2 * 256 != bits { bad = 1 } END { exit bad }'
}

check "a package for $platform" grep -q "^Template: $platform;" <(msiinfo suminfo "$package")
check "named „$name“" has_row Property ProductName "$name"
check "version $version" has_row Property ProductVersion "$version"
check "its shortcut named „$name“" has_row Shortcut StartMenu ProgramMenuFolder "$name"
check "installed into $folder" has_row Directory INSTALLDIR "$folder"
check "components of $arch" components_are $component_bits
check "names in Windows-1251" grep -q $'^1251\t_ForceCodepage' <(msiinfo export "$package" _ForceCodepage | tr -d '\r')
msiextract -C "$work" "$package" >/dev/null
inside=$(find "$work" -path '*/Planini/planini.exe' | head -n1)
check "the program inside is $program" cmp -s "$inside" "$program"

(cd "$work" && TZ=Asia/Tokyo "$make_msi" "$arch" "$source" again.msi "$name" "$time_file" "$program" "$icon")
check "made again, the same bytes" cmp "$package" "$work/again.msi"
sed 's/Version="[0-9.]*"/Version="9.9.9.0"/' "$source" >"$work/newer.wxs"
"$make_msi" "$arch" "$work/newer.wxs" "$work/newer.msi" "$name" "$time_file" "$program" "$icon"
codes() {
    msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'
    msiinfo suminfo "$1" | sed -n 's/^Revision number (UUID): //p'
}
check "another version, other product and package codes" \
    test -z "$(comm -12 <(codes "$package" | sort) <(codes "$work/newer.msi" | sort))"
# A name with the characters that sed and the tables treat apart.
odd_name='Планини & върхове / България | \1'
"$make_msi" "$arch" "$source" "$work/odd.msi" "$odd_name" "$time_file" "$program" "$icon"
check "a name with & / | \\ kept letter for letter" has_row_in "$work/odd.msi" Property ProductName "$odd_name"
# Signing changes the program's bytes, not the product.
mkdir -p "$work/signed"
cp "$program" "$work/signed/"
printf 'signature' >>"$work/signed/$(basename "$program")"
"$make_msi" "$arch" "$source" "$work/signed.msi" "$name" "$time_file" "$work/signed/$(basename "$program")" "$icon"
check "the same version with another program in it, one product code" \
    test "$(codes "$package" | head -n1)" = "$(codes "$work/signed.msi" | head -n1)"
check "the same version with another program in it, another package code" \
    test "$(codes "$package" | tail -n1)" != "$(codes "$work/signed.msi" | tail -n1)"
exit $failed
