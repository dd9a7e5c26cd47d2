#!/usr/bin/env bash
# Runs the program under the Orca screen reader on a private virtual display
# and D-Bus session, presses keys, and prints what Orca would have spoken
# (its speech goes only to its debug log). For trying changes by hand; not
# part of the test suite, which reads the same at Qt's accessibility level.
#
# Usage: tests/manual/orca-session.sh PROGRAM [KEY...]
#   keys as xdotool names them; default: Tab Down Down Tab Tab KP_Enter
#   (KP_Enter is Orca's "where am I").
set -euo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${PLANINI_ORCA_INNER:-}" ]; then
    for package in orca xvfb xdotool dbus at-spi2-core; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'ok installed' \
            || { echo "needs the Debian package $package" >&2; exit 2; }
    done
    PLANINI_ORCA_INNER=1 exec dbus-run-session -- "$0" "$@"
fi
program=$(realpath "$1")
shift
keys=("$@")
[ ${#keys[@]} -gt 0 ] || keys=(Tab Down Down Tab Tab KP_Enter)

sandbox=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$sandbox"' EXIT
export HOME=$sandbox/home XDG_RUNTIME_DIR=$sandbox/runtime
mkdir -p "$HOME/.local/share/orca" && mkdir -m 700 "$XDG_RUNTIME_DIR"
# No sound on a virtual display: Orca's speech calls do nothing.
cat > "$HOME/.local/share/orca/orca-customizations.py" <<'PY'
import orca.speechdispatcherfactory as factory
for name in ("speak", "speakKeyEvent", "speakCharacter", "stop", "sayAll"):
    setattr(factory.SpeechServer, name, lambda self, *args, **kwargs: None)
PY

Xvfb :93 -screen 0 800x600x24 >/dev/null 2>&1 &
export DISPLAY=:93
sleep 1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 1
orca --replace -d braille -d braille-monitor --debug-file="$sandbox/orca.log" >/dev/null 2>&1 &
sleep 5
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
sleep 3
xdotool search --name "География" windowfocus
sleep 2
for key in "${keys[@]}"; do
    xdotool key "$key"
    sleep 1.2
done
sed -n "s/.*SPEECH OUTPUT: '\\([^']*\\)'.*/\\1/p" "$sandbox/orca.log"
