#!/usr/bin/env bash
# Builds the Debian package, checks its control fields and file list, checks
# that `cmake --install` puts the same files, validates the desktop entry and
# the AppStream metadata, then starts the program installed from the package
# on a virtual display and closes it.
#
# Usage: package.sh BUILD-DIR VERSION APP-ID
set -euo pipefail
build=$(realpath "$1")
version=$2
app_id=$3
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && cpack --config "$build/CPackConfig.cmake" > cpack.log) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/*.deb)
echo "package: $(basename "$deb")"
(cd "$work" && sha256sum --check --strict SHA256SUMS) || fail "SHA256SUMS beside the package"

# Packaged again, later, under another umask and time zone, and on another
# file system where there is one (tmpfs): the same bytes.
again=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$again"' EXIT
(cd "$again" && umask 077 && TZ=Pacific/Kiritimati cpack --config "$build/CPackConfig.cmake" -B "$again" > cpack.log) ||
    { cat "$again/cpack.log"; fail "cpack again"; }
cmp "$deb" "$again/$(basename "$deb")" || fail "packaged twice, the .deb differs"

# Installed-Size counted as dpkg-gencontrol counts it: KiB per file, rounded
# up, and 1 per folder.
size=$(dpkg-deb -c "$deb" | awk '{ kib += $1 ~ /^d/ ? 1 : int(($3 + 1023) / 1024) } END { print kib }')
[ "$(dpkg-deb -f "$deb" Installed-Size)" = "$size" ] ||
    fail "Installed-Size $(dpkg-deb -f "$deb" Installed-Size), where its files take $size KiB"

# Built in any folder, the program is the same: it names neither folder.
source_dir=$(cd "$here/../.." && pwd)
if grep -qaF -e "$source_dir" -e "$build" "$build/planini"; then
    fail "the program holds the path of its source or build folder"
fi

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version), not $version"
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "section"
dpkg-deb -f "$deb" Maintainer | grep -q '@' || fail "maintainer"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 fonts-liberation2; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

expected="./usr/bin/planini
./usr/share/applications/$app_id.desktop
./usr/share/doc/planini/changelog.gz
./usr/share/doc/planini/copyright
./usr/share/icons/hicolor/128x128/apps/$app_id.png
./usr/share/icons/hicolor/32x32/apps/$app_id.png
./usr/share/icons/hicolor/64x64/apps/$app_id.png
./usr/share/man/man1/planini.1.gz
./usr/share/metainfo/$app_id.metainfo.xml"
packaged=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$packaged" = "$expected" ] || fail "package files differ:
$(diff <(echo "$expected") <(echo "$packaged"))"

DESTDIR="$work/destdir" cmake --install "$build" --prefix /usr > /dev/null
installed=$(cd "$work/destdir" && find . -type f | sort)
[ "$installed" = "$expected" ] || fail "cmake --install files differ:
$(diff <(echo "$expected") <(echo "$installed"))"

# Debian's own checks: no error and no warning of lintian's, and the
# protections of Debian's programs in the program. Not all objects that the
# program links are marked for control-flow protection, so the linker
# leaves it out: that one is not asked for.
lintian --fail-on error,warning "$deb" || fail "lintian"

root=$work/root
dpkg -x "$deb" "$root"
# Branch protection (BTI, PAC) is AArch64's; hardening-check from Debian 13
# on asks for it on every architecture.
hardening=(--nocfprotection)
if [ "$(dpkg --print-architecture)" != arm64 ] && [[ $(hardening-check --help) == *--nobranchprotection* ]]; then
    hardening+=(--nobranchprotection)
fi
hardening-check "${hardening[@]}" "$root/usr/bin/planini" || fail "hardening-check"
desktop=$root/usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "metainfo"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "metainfo release"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/32x32/apps/$icon.png" ] || fail "no icon $icon in hicolor"
command=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$root/usr/bin/$command" ] || fail "Exec=$command is not the installed program"

"$here/session.sh" "$root/usr/bin/$command"
echo "package checked"
