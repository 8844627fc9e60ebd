#!/usr/bin/env bash
# On an X display: the installed program finds the lab's plugin from where it
# is installed and opens the lab with Ctrl+L; with the plugin gone, Ctrl+L
# says the lab cannot be opened and the program goes on.
# Usage: open_lab_test.sh PROGRAM PLUGIN
set -uo pipefail
program=$1
plugin=$2
source "$(dirname "$0")/../../scripts/lib/x11-session.sh"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Without a window manager a window has the keyboard only once clicked.
press_ctrl_l() {
  click 250 300
  xdotool key --window "$PELORIN_WINDOW" ctrl+l
}

window_appears() {
  timeout 20 xdotool search --sync --onlyvisible --name "$1" >/dev/null
}

start_pelorin "$program" || exit 1
press_ctrl_l
window_appears '^Method lab$' || fail "Ctrl+L did not open the lab"
stop_pelorin

mv "$plugin" "$plugin.away"
start_pelorin "$program" || { mv "$plugin.away" "$plugin"; exit 1; }
press_ctrl_l
window_appears '^Method lab cannot be opened$' || fail "no message without the plugin"
kill -0 "$PELORIN_PID" 2>/dev/null || fail "the program ended without the plugin"
stop_pelorin
mv "$plugin.away" "$plugin"

[ "$failures" -eq 0 ] || exit 1
echo "the installed program opens the lab, and says so when it cannot"
