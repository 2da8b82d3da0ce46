#!/usr/bin/env bash
# End to end on Linux: the native program with its SDL2 screen on a 640 x 480
# Xvfb shows the picture pixel for pixel in a window titled "24 BIT BITMAP",
# declines a window-manager close request, ends with status 0 on Escape, at
# once on Ctrl+C (SIGINT) and SIGTERM as their default action does, and with
# -1 (255) when no display server can be reached. Then the sketch example,
# through every path of the presenter: a framed and a borderless window on a
# 1024 x 768 screen, full screen on a 640 x 480 one (tests/e2e/sketch.sh).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/default}
. "$ROOT/tests/e2e/common.sh"
. "$ROOT/tests/e2e/sketch.sh"
PROGRAM="$BUILD/src/picture"
# The sketch as built in this tree, or as another project built it (scripts/test).
SKETCH=${SKETCH_PROGRAM:-$BUILD/examples/sketch/sketch}
NAME=linux
failed=0

start_xvfb 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
trap stop_xvfb EXIT
"$PROGRAM" >>"$ARTIFACTS/linux.out" 2>&1 &
pid=$!
seen=
wait_for_picture linux 30 $pid && seen="the picture was on the screen" || failed=1
if "$X_WINDOW" find "24 BIT BITMAP" >/dev/null; then
  echo "ok   linux title: the full-screen window is titled 24 BIT BITMAP"
else
  echo "FAIL linux title: no window titled 24 BIT BITMAP"
  failed=1
fi
# The program does not allow closing: a close request changes nothing.
"$X_WINDOW" close "24 BIT BITMAP" || failed=1
sleep 1
if kill -0 $pid 2>/dev/null && "$SCREEN_CHECK" compare "$PICTURE_BMP" 101 80 >/dev/null; then
  echo "ok   linux close request: declined, the picture stays"
else
  echo "FAIL linux close request: the program did not go on showing the picture"
  failed=1
fi
press_escape
wait_for_exit $pid 20
expect_status "linux Escape" 0 "$STATUS" "$seen" || failed=1
# The program's later runs here count only if this one was seen.
ran=$seen

"$PROGRAM" >>"$ARTIFACTS/linux.out" 2>&1 &
pid=$!
seen=
wait_for_picture linux-sigterm 30 $pid && seen=1 || failed=1
expect_signal_ends "linux SIGTERM" TERM 143 $pid "$seen" || failed=1
# As a terminal's Ctrl+C: a job of its own, which does not ignore SIGINT.
set -m
"$PROGRAM" >>"$ARTIFACTS/linux.out" 2>&1 &
pid=$!
set +m
seen=
wait_for_picture linux-sigint 30 $pid && seen=1 || failed=1
expect_signal_ends "linux Ctrl+C (SIGINT)" INT 130 $pid "$seen" || failed=1
stop_xvfb

# SDL's question box takes a click on its buttons (Yes, then No, at the bottom).
answer_question() {  # answer_question BOX yes|no
  if [ "$2" = yes ]; then
    xdotool mousemove --window "$1" 54 72 click 1
  else
    xdotool mousemove --window "$1" 145 72 click 1
  fi
}
SKETCH_PID=
trap 'stop_xvfb; [ -n "$SKETCH_PID" ] && kill -9 $SKETCH_PID 2>/dev/null' EXIT
start_xvfb 1024x768x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
{ check_sketch_window 1024 768 framed && end_sketch close "linux sketch: a close request ends it"; } || failed=1
kill -9 "$SKETCH_PID" 2>/dev/null
{ check_sketch_window 1024 768 borderless && end_sketch escape "linux sketch: Escape ends it"; } || failed=1
kill -9 "$SKETCH_PID" 2>/dev/null
stop_xvfb
start_xvfb 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
check_sketch_fullscreen --no-vsync || failed=1
kill -9 "$SKETCH_PID" 2>/dev/null
stop_xvfb

# No display server: neither a DISPLAY nor a reachable one. Nothing can be
# seen, so the status counts only from a program seen running above.
status=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$PROGRAM" >/dev/null 2>&1; echo $?)
expect_status "linux without a display" 255 "$status" "${ran:+it showed the picture before}" || failed=1
status=$(env -u WAYLAND_DISPLAY DISPLAY=:8191 timeout 20 "$PROGRAM" >/dev/null 2>&1; echo $?)
expect_status "linux with an unreachable display" 255 "$status" "${ran:+it showed the picture before}" ||
  failed=1
exit $failed
