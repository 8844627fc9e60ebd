#!/usr/bin/env bash
# Runs accessibility_test.py against the program the way a screen reader meets
# it: on a private X display and D-Bus session, with the accessibility bus of
# at-spi2-core running and Qt's AT-SPI bridge switched on.
# Usage: run_accessibility_test.sh PROGRAM [SCRIPT]   (SCRIPT: a .py file beside
# this one, accessibility_test.py by default; it is given the program's PID)
set -euo pipefail
if [ "${1:-}" != --in-session ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- "$0" --in-session "$@"
fi
program=$2
script=${3:-accessibility_test.py}
here=$(cd "$(dirname "$0")" && pwd)

XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
launcher=""
app=""
cleanup() {
  [ -z "$app" ] || kill "$app" 2>/dev/null || true
  [ -z "$launcher" ] || kill "$launcher" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
# The program asks the session bus for the accessibility bus once, at start:
# the launcher must own its name by then.
until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'; do
  kill -0 "$launcher" 2>/dev/null || { echo "FAIL: at-spi-bus-launcher ended"; exit 1; }
  sleep 0.1
done

# Orca makes Qt expose its widgets by itself; without Orca, Qt has to be told.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
app=$!
/usr/bin/python3 "$here/$script" "$app"
