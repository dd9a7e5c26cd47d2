# Which Wine runs a Windows program: 32-bit Wine for the x86 program, 64-bit
# Wine for the x64 one, each in a prefix of its own kind. Both are named
# outright: Debian's `wine` start script takes the 32-bit loader whenever it
# is installed, even on a kernel that cannot run it, and its `wineserver`
# script the 64-bit server whenever that is.
# Sourced, not run.

# Usage: use_wine_for x86|x64
use_wine_for() {
    case $1 in
    x86) WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 WINEARCH=win32 ;;
    x64) WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64 ;;
    *)
        echo "no Wine for a Windows program of architecture '$1'" >&2
        return 2
        ;;
    esac
    export WINELOADER WINESERVER WINEARCH WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko: nothing here needs them, and Wine would ask for them.
    # No menu builder: it would copy the installed shortcut into the Linux
    # desktop's own menu.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# Usage: wine PROGRAM [ARGUMENT...]; wineserver OPTION...
wine() { "$WINELOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }

# x86 or x64: the architecture of a Windows program, read from its PE header.
# Usage: pe_arch PROGRAM.exe
pe_arch() {
    local header machine
    header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    machine=$(od -An -tx2 -j$((header + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
    case $machine in
    014c) echo x86 ;;
    8664) echo x64 ;;
    *)
        echo "$1 is not a Windows program for x86 or x64" >&2
        return 1
        ;;
    esac
}
