#!/usr/bin/env bash
# Runs a Windows program under Wine, for CTest (CMAKE_CROSSCOMPILING_EMULATOR)
# and by hand. It uses the session that PLANINI_WINE_SESSION names (see
# wine-session.sh), with its display, prefix and home, or makes one for this
# run alone, for the program's own architecture. With PLANINI_WINE_DPI set, the program sees a screen of that
# many dots per inch.
#
# Usage: wine-run.sh PROGRAM.exe [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

if [ -n "${PLANINI_WINE_SESSION:-}" ]; then
    session=$PLANINI_WINE_SESSION
else
    session=$(mktemp -d)
    trap '"$here/wine-session.sh" stop "$session"' EXIT
    "$here/wine-session.sh" start "$session" "$(pe_arch "$1")" >/dev/null
fi
use_wine_for "$(cat "$session/arch")"
export WINEPREFIX=$session/prefix HOME=$session/home DISPLAY
DISPLAY=$(cat "$session/display")

# A program that asks for a dpi (PLANINI_WINE_DPI; those that do never
# run side by side) gets it set before it starts, rather than the one before
# putting it back when it ends: a run killed by CTest's time-out cannot, and
# the programs after it would see its screen. The session notes the dpi it
# has, "unknown" while it changes.
dpi=${PLANINI_WINE_DPI:-}
if [ -n "$dpi" ] && [ "$(cat "$session/dpi" 2>/dev/null)" != "$dpi" ]; then
    echo unknown >"$session/dpi"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    echo "$dpi" >"$session/dpi"
fi

wine "$@"
