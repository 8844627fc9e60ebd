#!/usr/bin/env bash
# Runs one of the screen-reader scripts beside this file against the program
# the way a screen reader meets it: on a private X display and D-Bus session,
# with the accessibility bus of at-spi2-core running and Qt's AT-SPI bridge
# switched on.
# Usage: run_accessibility_test.sh BUS_LAUNCHER PROGRAM SCRIPT
#   BUS_LAUNCHER: at-spi2-core's at-spi-bus-launcher, wherever it is installed
#   SCRIPT: a .py file beside this one; it is given the program's PID
set -euo pipefail
if [ "${1:-}" != --in-session ]; then
  exec "$(dirname "$0")/../../scripts/lib/on-xvfb" 1024x768x24 dbus-run-session -- "$0" --in-session "$@"
fi
bus_launcher=$2
program=$3
script=$4
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

"$bus_launcher" --launch-immediately &
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
