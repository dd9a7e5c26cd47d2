#!/usr/bin/env bash
# A place to run the Windows programs under Wine: a virtual X display, a
# Wine prefix and a home of its own, made in one folder and removed with
# it, so nothing of the user's own Wine setup is touched, and nothing that
# other programs write into the user's home (Wine maps the Windows user's
# Desktop and Documents there) shows in the tests. The prefix is for programs of one
# architecture, x86 (32-bit Wine) or x64 (64-bit Wine).
#
# Usage: wine-session.sh start FOLDER x86|x64
#        wine-session.sh stop FOLDER
set -euo pipefail
action=$1
session=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

stop() {
    if [ -f "$session/arch" ]; then
        use_wine_for "$(cat "$session/arch")"
        WINEPREFIX=$session/prefix wineserver -k 2>/dev/null || true
    fi
    if [ -f "$session/xvfb.pid" ]; then
        kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
    fi
    rm -rf "$session"
}

# Says why the session did not start, with the end of what it wrote.
failed() {
    echo "The Wine session did not start: $1" >&2
    tail -n 20 "$session/$2" >&2 || true
    exit 1
}

case $action in
start)
    arch=${3:?usage: wine-session.sh start FOLDER x86|x64}
    # A session left over from a run that was cut short goes first.
    stop
    mkdir -p "$session"
    use_wine_for "$arch"
    echo "$arch" >"$session/arch"
    # Xvfb picks a free display itself and names it once it is ready.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$session/display.number" \
        >"$session/xvfb.log" 2>&1 &
    echo $! >"$session/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$session/display.number" ] && break
        sleep 0.1
    done
    [ -s "$session/display.number" ] || failed "Xvfb did not start" xvfb.log
    echo ":$(head -n1 "$session/display.number")" >"$session/display"

    export WINEPREFIX=$session/prefix HOME=$session/home
    export DISPLAY=$(cat "$session/display")
    mkdir -p "$HOME"
    # Kept alive for the whole run, so that each program starts quickly.
    # Nothing started here may hold on to the caller's output, or CTest
    # would wait for it.
    mkdir -p "$WINEPREFIX"
    # A first start was once seen to end at once, saying nothing; a second
    # try costs a second. Wine's errors go to the log, shown on a failure.
    for attempt in 1 2; do
        status=0
        { wineserver -p && WINEDEBUG=-all,err+all wine wineboot --init; } \
            </dev/null >>"$session/wine.log" 2>&1 || status=$?
        [ $status -eq 0 ] && break
        echo "Try $attempt to start Wine ended with status $status." >>"$session/wine.log"
        [ $attempt -eq 2 ] && failed "$WINELOADER could not make the prefix" wine.log
        wineserver -k 2>/dev/null || true
        sleep 1
    done
    echo 96 >"$session/dpi"
    echo "Wine session for $arch programs ready on display $DISPLAY ($($WINELOADER --version))"
    ;;
stop)
    stop
    ;;
*)
    echo "usage: wine-session.sh start FOLDER x86|x64 | stop FOLDER" >&2
    exit 2
    ;;
esac
