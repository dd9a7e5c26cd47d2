#!/usr/bin/env bash
# A place to run the Windows programs under Wine: a virtual X display and a
# Wine prefix of its own, made in one folder and removed with it, so nothing
# of the user's own Wine setup is touched.
#
# Usage: wine-session.sh start|stop FOLDER
set -euo pipefail
action=$1
session=$2

stop() {
    if [ -d "$session/prefix" ]; then
        WINEPREFIX=$session/prefix wineserver -k 2>/dev/null || true
    fi
    if [ -f "$session/xvfb.pid" ]; then
        kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
    fi
    rm -rf "$session"
}

case $action in
start)
    # A session left over from a run that was cut short goes first.
    stop
    mkdir -p "$session"
    # Xvfb picks a free display itself and names it once it is ready.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$session/display.number" \
        >"$session/xvfb.log" 2>&1 &
    echo $! >"$session/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$session/display.number" ] && break
        sleep 0.1
    done
    [ -s "$session/display.number" ] || { echo "Xvfb did not start" >&2; cat "$session/xvfb.log" >&2; exit 1; }
    echo ":$(head -n1 "$session/display.number")" >"$session/display"

    export WINEPREFIX=$session/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export DISPLAY=$(cat "$session/display")
    # Kept alive for the whole run, so that each program starts quickly.
    # Nothing started here may hold on to the caller's output, or CTest
    # would wait for it.
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >>"$session/wine.log" 2>&1
    wineboot --init </dev/null >>"$session/wine.log" 2>&1
    echo "Wine session ready on display $DISPLAY"
    ;;
stop)
    stop
    ;;
*)
    echo "usage: wine-session.sh start|stop FOLDER" >&2
    exit 2
    ;;
esac
