# The end-to-end check of the examples in other languages (examples/c,
# examples/python), on whichever display server and platform (sourced after
# common.sh and sketch.sh): each opens a window titled Example with a square
# at the mouse on a background that turns green while Space is held.

EXAMPLE_BACKGROUND=0x203040
EXAMPLE_HELD=0x30A040
EXAMPLE_POINTER=0xFFFFFF
EXAMPLE_PRESSED=0xFF4040

# Runs COMMAND (from the current folder) on DISPLAY: its frame in its window,
# the square where the mouse is and red while the button is down, Space held
# turning the background green, Escape ending it with 0; reports its frames a second.
check_example() {  # check_example NAME COMMAND...
  local name=$1 out seen= bad=0
  WINDOW_ID=
  shift
  out=$(mktemp)
  "$@" >"$out" 2>&1 &
  SKETCH_PID=$!
  NAME=$name
  if wait_for_window 642 482 60 Example; then
    seen="its window was on the screen"
    LEFT=$WINDOW_X TOP=$WINDOW_Y
    xdotool windowfocus --sync "$WINDOW_ID" 2>/dev/null
    xdotool mousemove --window "$WINDOW_ID" 100 120
    wait_for_pixels 30 "$name: its frame, the square at the mouse (100, 120)" "$(at 100 120),$EXAMPLE_POINTER" \
      "$(at 300 300),$EXAMPLE_BACKGROUND" "$(at 0 0),$EXAMPLE_BACKGROUND" "$(at 639 479),$EXAMPLE_BACKGROUND" || bad=1
    xdotool mousedown 1
    wait_for_pixels 20 "$name: the button down turns the square red" "$(at 100 120),$EXAMPLE_PRESSED" || bad=1
    xdotool mouseup 1
    xdotool keydown space
    wait_for_pixels 20 "$name: Space held turns the background green" "$(at 300 300),$EXAMPLE_HELD" || bad=1
    xdotool keyup space
    wait_for_pixels 20 "$name: Space let go, the background is back" "$(at 300 300),$EXAMPLE_BACKGROUND" || bad=1
    sleep 2.2  # two whole seconds' frames counted
    "$SCREEN_CHECK" capture "$ARTIFACTS/$name.png"
  else
    bad=1
  fi
  xdotool windowfocus --sync "$WINDOW_ID" 2>/dev/null
  press_escape
  wait_for_exit "$SKETCH_PID" 60
  expect_status "$name Escape" 0 "$STATUS" "$seen" || bad=1
  local rate
  rate=$(grep -o '^[0-9]* frames a second' "$out" | tail -1)
  echo "     $name: ${rate:-no frames a second reported}"
  [ $bad -eq 0 ] || sed 's/^/     | /' "$out" | tail -5
  rm -f "$out"
  return $bad
}
