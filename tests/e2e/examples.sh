# The C and Python examples end to end, on any display server (sourced after common.sh and sketch.sh).

# Finds the example's window, setting WINDOW_ID (the window that takes the
# keyboard), WINDOW_X and WINDOW_Y (its client area on the screen); a display
# server whose windows X can't name redefines it.
locate_example() { wait_for_window 642 482 60 Example; }

# Runs COMMAND on DISPLAY: a window titled Example shows its frame (0x203040), a square at the mouse
# (0xFFFFFF, 0xFF4040 while the button is down), green (0x30A040) while Space is held; Escape ends it with 0.
check_example() {  # check_example NAME COMMAND...
  local name=$1 out seen= bad=0
  shift
  out=$(mktemp)
  "$@" >"$out" 2>&1 &
  SKETCH_PID=$! NAME=$name WINDOW_ID=
  locate_example && seen="its window was on the screen" LEFT=$WINDOW_X TOP=$WINDOW_Y || bad=1
  xdotool windowfocus --sync "$WINDOW_ID" mousemove $((${LEFT:-0} + 100)) $((${TOP:-0} + 120)) 2>/dev/null
  [ $bad = 1 ] || { wait_for_pixels 30 "$name: its frame, the square at the mouse (100, 120)" \
    "$(at 92 112),0xFFFFFF" "$(at 300 300),0x203040" "$(at 0 0),0x203040" "$(at 639 479),0x203040" &&
    xdotool mousedown 1 && wait_for_pixels 20 "$name: the button down, red" "$(at 92 112),0xFF4040" &&
    xdotool mouseup 1 keydown space && wait_for_pixels 20 "$name: Space held, green" "$(at 300 300),0x30A040" &&
    xdotool keyup space && wait_for_pixels 20 "$name: Space let go" "$(at 300 300),0x203040" && sleep 2.2; } || bad=1
  [ $bad -eq 0 ] || "$SCREEN_CHECK" capture "$ARTIFACTS/${name// /-}.png"
  press_escape
  wait_for_exit "$SKETCH_PID" 60
  expect_status "$name Escape" 0 "$STATUS" "$seen" || bad=1
  echo "     $name: $(grep -o '^[0-9]* frames a second' "$out" | tail -1)"
  [ $bad -eq 0 ] || { tail -5 "$out"; cp "$out" "$ARTIFACTS/${name// /-}.out"
    echo "     kept: the screen in $ARTIFACTS/${name// /-}.png, the program's output in $ARTIFACTS/${name// /-}.out"; }
  rm -f "$out"
  return $bad
}
