#!/usr/bin/env bash
# Runs a Windows program under Wine, for CTest (CMAKE_CROSSCOMPILING_EMULATOR)
# and by hand. It uses the session that PLANINI_WINE_SESSION names (see
# wine-session.sh), or makes one for this run alone. With PLANINI_WINE_DPI
# set, the program sees a screen of that many dots per inch.
#
# Usage: wine-run.sh PROGRAM.exe [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ -n "${PLANINI_WINE_SESSION:-}" ]; then
    session=$PLANINI_WINE_SESSION
else
    session=$(mktemp -d)
    trap '"$here/wine-session.sh" stop "$session"' EXIT
    "$here/wine-session.sh" start "$session" >/dev/null
fi
export WINEPREFIX=$session/prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY
DISPLAY=$(cat "$session/display")

set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
dpi=${PLANINI_WINE_DPI:-}
if [ -n "$dpi" ]; then
    set_dpi "$dpi"
fi

status=0
wine "$@" || status=$?

# Other programs of the session see the usual screen again.
if [ -n "$dpi" ]; then
    set_dpi 96
fi
exit $status
