#!/usr/bin/env bash
# Usage: real_window_test.sh PROGRAM PRINT_LAYOUT
# Starts the built program on a real X display (under Xvfb), clicks CALCULATE
# with the mouse and checks a screenshot: the light-yellow plot gains red
# pixels and the results list gains text.
set -euo pipefail
if [ -z "${DISPLAY:-}" ] || [ "${1:-}" != --on-display ]; then
  exec "$(dirname "$0")/../../scripts/lib/on-xvfb" 1024x768x24 "$0" --on-display "$@"
fi
program=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/lib/x11-session.sh"
PELORIN_LAYOUT=$3
work=$(mktemp -d)
trap 'stop_pelorin; rm -rf "$work"' EXIT

start_pelorin "$program"
screenshot_window "$PELORIN_WINDOW" "$work/before.png"
click_calculate
sleep 0.5
screenshot_window "$PELORIN_WINDOW" "$work/after.png"

read -r _ left top width height < <("$PELORIN_LAYOUT" | grep '^List1 ')
list_area="$((width - 10))x$((height - 10))+$((left + 5))+$((top + 5 + $(menu_bar_height)))"
yellow=$(count_colour "$work/after.png" FFFFC0)
red_before=$(count_colour "$work/before.png" FF0000)
red_after=$(count_colour "$work/after.png" FF0000)
text_before=$(count_other "$work/before.png" FFFFFF "$list_area")
text_after=$(count_other "$work/after.png" FFFFFF "$list_area")
echo "light-yellow pixels $yellow; red $red_before -> $red_after; list text $text_before -> $text_after"

status=0
[ "$yellow" -gt 50000 ] || { echo "FAIL: the plot area is not light yellow"; status=1; }
[ "$red_before" -eq 0 ] && [ "$red_after" -gt 20 ] || { echo "FAIL: no red numerical solution"; status=1; }
[ "$text_after" -gt "$text_before" ] || { echo "FAIL: the results list gained no text"; status=1; }
exit $status
