#!/usr/bin/env bash
# Starts the program on a private virtual X display, clicks and types through
# a short session, closes its window and fails unless the program ends with
# status 0 (a sanitizer build also fails here on a leak).
#
# Usage: session.sh PROGRAM [--no-writes]
#   --no-writes  runs the program under strace and fails if it writes any file
#                or opens a network socket (see check-strace.py).
set -euo pipefail
program=$(realpath "$1")
mode=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

# A throwaway home and runtime folder: whatever the platform libraries write
# lands there, never in the user's own.
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
export HOME=$sandbox/home XDG_RUNTIME_DIR=$sandbox/runtime
unset XDG_CACHE_HOME XDG_CONFIG_HOME XDG_DATA_HOME QT_QPA_PLATFORM
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
# No session bus: without this address, D-Bus would start one for the run
# (where dbus-x11 is installed) and leave it running after the program.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$sandbox/no-session-bus

launcher=()
if [ "$mode" = --no-writes ]; then
    # Under QEMU's user emulation (another processor's program) there is no
    # ptrace, and so no strace.
    if ! strace -f -qq -o /dev/null true 2>/dev/null; then
        echo "SKIP: strace cannot trace programs here: $(strace true 2>&1 | head -n 1)"
        exit 77
    fi
    launcher=(strace -f -qq -o "$sandbox/strace.log"
              -e trace=open,openat,openat2,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,link,linkat,symlink,symlinkat,truncate,socket)
fi

xvfb-run --auto-servernum --server-args="-screen 0 640x480x24" \
    "$root/scripts/xwindow.py" session "География" -- "${launcher[@]}" "$program"
echo "The program closed with status 0."

if [ "$mode" = --no-writes ]; then
    python3 "$here/check-strace.py" "$sandbox/strace.log" "$sandbox"
fi
