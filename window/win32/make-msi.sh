#!/usr/bin/env bash
# Builds the Windows Installer package with Debian's wixl, then gives it its
# Bulgarian name, which wixl cannot write: the tables that hold the name are
# taken out, the name put in, and they go back in with msitools' msibuild,
# the database's code page set to Windows-1251 first.
#
# Usage: make-msi.sh x86|x64 SOURCE.wxs OUTPUT.msi NAME FILE...
# The FILEs are what the package carries, named in SOURCE by their names.
set -euo pipefail
arch=$1
source=$2
output=$3
name=$4
shift 4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source" "$@" "$work/"
(cd "$work" && wixl --arch "$arch" -o package.msi "$(basename "$source")")
for table in Property Shortcut; do
    msiinfo export "$work/package.msi" "$table" | sed "s/PLANINI_NAME/$name/g" > "$work/$table.idt"
done
printf '\r\n\r\n1251\t_ForceCodepage\r\n' > "$work/_ForceCodepage.idt"
(cd "$work" && msibuild package.msi -i _ForceCodepage.idt -i Property.idt -i Shortcut.idt)
mv "$work/package.msi" "$output"
