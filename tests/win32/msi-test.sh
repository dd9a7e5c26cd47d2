#!/usr/bin/env bash
# The Windows Installer package as school IT uses it, under Wine's msiexec in
# a Wine session of its own: a quiet install puts the program into Program
# Files and its shortcut into the Start menu; the installed program starts
# and shows its window; a signed package of the same version is the same
# product, and its reinstall puts the signed program in, one entry left; a
# package of a higher version replaces it, leaving one entry among the
# installed programs; the uninstall removes the program,
# the shortcut and the entry.
#
# Usage: msi-test.sh PACKAGE.msi SOURCE.wxs MAKE-MSI TIME-FILE PROGRAM.exe ICON.ico
set -euo pipefail
package=$(realpath "$1")
source=$2
make_msi=$3
time_file=$4
program=$5
icon=$6
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
name="Планини и върхове в България"

source "$here/wine-env.sh"
arch=$(pe_arch "$program")
# A session of its own, display too: the installing prefix's programs, and
# their end, stay out of the other tests' way.
work=$(mktemp -d)
trap '"$here/wine-session.sh" stop "$work/session"; rm -rf "$work"' EXIT
# A home of its own too, to see that Wine copies nothing into the Linux
# desktop's menu.
export HOME=$work/home
mkdir -p "$HOME"
"$here/wine-session.sh" start "$work/session" "$arch" >/dev/null
use_wine_for "$arch"
export WINEPREFIX=$work/session/prefix DISPLAY
DISPLAY=$(cat "$work/session/display")
fail() { echo "FAIL: $*" >&2; exit 1; }

drive=$WINEPREFIX/drive_c

# The entries of installed programs, as "DisplayName|DisplayVersion" lines.
installed() {
    wine reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' "$work/uninstall.reg" \
        >/dev/null 2>&1 || true
    [ -f "$work/uninstall.reg" ] || return 0
    iconv -f utf-16 -t utf-8 "$work/uninstall.reg" | tr -d '\r' | awk -F'"' '
        /^\[/ { if (name != "") print name "|" version; name = ""; version = "" }
        $2 == "DisplayName" { name = $4 }
        $2 == "DisplayVersion" { version = $4 }
        END { if (name != "") print name "|" version }'
    rm -f "$work/uninstall.reg"
}
# The package's own Program Files: the one of its processor, which in this
# prefix, made for programs of that processor alone, is "Program Files".
program_file() { find "$drive" -path '*/Program Files/Planini/planini.exe' | head -n1; }
shortcut() { find "$drive" -path '*Start Menu*' -name "$name.lnk" | head -n1; }

wine msiexec /i "$package" /qn </dev/null || fail "install"
installed_program=$(program_file)
[ -n "$installed_program" ] || fail "no planini.exe in Program Files"
[ -n "$(shortcut)" ] || fail "no shortcut \"$name\" in the Start menu"
[ "$(installed)" = "$name|1.0.0.0" ] || fail "installed programs: $(installed)"
[ -z "$(find "$HOME" -name '*.desktop')" ] || fail "Wine put the shortcut into the Linux desktop's menu"

windows_path="C:\\${installed_program#"$drive/"}"
windows_path=${windows_path//\//\\}
/usr/bin/python3 "$top/scripts/xwindow.py" snapshot "География" "$work/installed.png" -- \
    "$WINELOADER" "$windows_path" || fail "the installed program did not show its window and end cleanly"

# A signed package of the same version (here, one whose program has other
# bytes, as signing gives it) is the same product: never a second entry.
# Windows Installer keeps the installed one until asked to reinstall
# (Windows itself refuses the plain install as of another package).
mkdir -p "$work/signed"
cp "$program" "$work/signed/"
printf 'signature' >>"$work/signed/$(basename "$program")"
"$make_msi" "$arch" "$source" "$work/signed.msi" "$name" "$time_file" "$work/signed/$(basename "$program")" \
    "$icon" >/dev/null
wine msiexec /i "$work/signed.msi" /qn </dev/null || true
[ "$(installed)" = "$name|1.0.0.0" ] || fail "after a signed package of the same version, installed programs: $(installed)"
[ -n "$(program_file)" ] || fail "a signed package of the same version removed the program"
wine msiexec /i "$work/signed.msi" REINSTALL=ALL REINSTALLMODE=vomus /qn </dev/null || fail "reinstall, signed"
[ "$(installed)" = "$name|1.0.0.0" ] || fail "after the signed package's reinstall, installed programs: $(installed)"
cmp -s "$(program_file)" "$work/signed/$(basename "$program")" || fail "the reinstall did not put the signed program in"

# The same package at a higher version replaces it. Windows Installer
# compares only the first three parts of a version.
sed 's/Version="1\.0\.0\.0"/Version="1.0.1.0"/' "$source" > "$work/planini.wxs"
"$make_msi" "$arch" "$work/planini.wxs" "$work/newer.msi" "$name" "$time_file" "$program" "$icon" >/dev/null
wine msiexec /i "$work/newer.msi" /qn </dev/null || fail "upgrade"
[ "$(installed)" = "$name|1.0.1.0" ] || fail "after the upgrade, installed programs: $(installed)"
[ -n "$(program_file)" ] || fail "the upgrade removed the program"

wine msiexec /x "$work/newer.msi" /qn </dev/null || fail "uninstall"
[ -z "$(program_file)" ] || fail "the uninstall left planini.exe"
[ -z "$(shortcut)" ] || fail "the uninstall left the shortcut"
[ -z "$(installed)" ] || fail "the uninstall left an entry: $(installed)"
echo "1 passed, 0 failed"
