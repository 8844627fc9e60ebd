# Helpers for driving the real program on an X display (sourced, not run).
# Positions are in window coordinates of the main window at scale 1, taken
# from the window's layout table: set PELORIN_LAYOUT to the print_layout
# program (built in build/bin/) before clicking a control.

# start_pelorin PROGRAM: starts it and sets PELORIN_PID and PELORIN_WINDOW.
start_pelorin() {
  "$1" &
  PELORIN_PID=$!
  PELORIN_WINDOW=$(timeout 30 xdotool search --sync --onlyvisible --name '^Pelorin - Numerical integration' | head -n 1)
  if [ -z "$PELORIN_WINDOW" ]; then
    echo "the main window did not appear within 30 seconds" >&2
    return 1
  fi
  sleep 0.5
}

stop_pelorin() {
  kill "$PELORIN_PID" 2>/dev/null || true
  wait "$PELORIN_PID" 2>/dev/null || true
}

# click X Y: a left click at (X, Y) in the main window.
click() {
  xdotool mousemove --window "$PELORIN_WINDOW" "$1" "$2" click 1
  sleep 0.3
}

# menu_bar_height: how far the client area starts below the window's top.
menu_bar_height() {
  local window_height
  window_height=$(xdotool getwindowgeometry "$PELORIN_WINDOW" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
  echo $((window_height - 332))
}

# click_control NAME: clicks 5 pixels into the control of that name (Command1,
# Text_h, Option_RK4, ...).
click_control() {
  local name left top rest
  read -r name left top rest < <("$PELORIN_LAYOUT" | grep "^$1 ")
  if [ -z "${name:-}" ]; then
    echo "no control named $1 in the layout" >&2
    return 1
  fi
  click $((left + 5)) $((top + 5 + $(menu_bar_height)))
}

click_calculate() { click_control Command1; }

# replace_text NAME TEXT: replaces the contents of the input box of that name.
replace_text() {
  click_control "$1"
  xdotool key --window "$PELORIN_WINDOW" ctrl+a
  xdotool type --window "$PELORIN_WINDOW" "$2"
  sleep 0.2
}

screenshot_window() {
  import -window "$1" "$2"
}

# count_colour PNG HEX [GEOMETRY]: how many pixels have exactly that colour,
# optionally within a crop WxH+X+Y.
count_colour() {
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  convert "$1" "${crop[@]}" -fill black +opaque "#$2" -fill white -opaque "#$2" \
    -format '%[fx:round(mean*w*h)]' info:
}

# count_other PNG HEX [GEOMETRY]: how many pixels have any other colour.
count_other() {
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  local all
  all=$(convert "$1" "${crop[@]}" -format '%[fx:w*h]' info:)
  echo $((all - $(count_colour "$@")))
}
