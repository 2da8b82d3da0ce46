#!/usr/bin/env bash
# End to end on the displays Linux users have, each a private Xvfb: the
# picture program full screen on bare X servers larger than its mode and under
# a window manager (openbox), scaled by the largest whole factor that fits and
# centred on black; at depths 16, 15 (scaled) and 30 (ten bits a channel,
# scaled too); with MIT-SHM absent and with every shared segment refused; on
# Wayland (weston on Xvfb, SDL's Wayland driver). Each compares the whole
# screen pixel for pixel, ends the program with Escape (status 0) and reports
# its processor time and memory. The sketch runs full screen scaled (at 24 and
# 30 bits), and in its window under openbox.
# A pseudo-colour screen (depth 8) can show nothing: status 255, at once, no
# window left. Usage: displays.sh bare|desktops (bare X servers, or openbox
# and weston, whose packages scripts/test makes ready apart).
set -uo pipefail
PART=${1:-bare}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/default}
. "$ROOT/tests/e2e/common.sh"
. "$ROOT/tests/e2e/sketch.sh"
PROGRAM="$BUILD/src/picture"
SKETCH=${SKETCH_PROGRAM:-$BUILD/examples/sketch/sketch}
SKETCH_PID=
HELPER_PIDS=()
failed=0
cleanup() {
  [ -n "$SKETCH_PID" ] && kill -9 "$SKETCH_PID" 2>/dev/null
  [ ${#HELPER_PIDS[@]} -gt 0 ] && kill "${HELPER_PIDS[@]}" 2>/dev/null
  HELPER_PIDS=()
  stop_xvfb
}
trap cleanup EXIT
answer_question() {  # SDL's box: Yes, then No, at the bottom
  xdotool mousemove --window "$1" "$([ "$2" = yes ] && echo 54 || echo 145)" 72 click 1
}

# Where a 640 x 480 mode lies on a W x H screen: "X Y SCALE".
fit() {
  local k=$(($1 / 640 < $2 / 480 ? $1 / 640 : $2 / 480))
  [ $k -lt 1 ] && k=1
  echo "$((($1 - 640 * k) / 2)) $((($2 - 480 * k) / 2)) $k"
}

# The processor time (% of a core) and VmRSS (MB) of PID over SECONDS.
usage() {  # usage PID SECONDS
  local hz ticks0 ticks1
  hz=$(getconf CLK_TCK)
  ticks0=$(awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null) || return
  sleep "$2"
  ticks1=$(awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null) || return
  echo "$(((ticks1 - ticks0) * 1000 / (hz * $2) / 10)).$(((ticks1 - ticks0) * 1000 / (hz * $2) % 10)) % of a core," \
    "$(awk '/VmRSS/ {print int($2 / 1024)}' "/proc/$1/status") MB"
}

# The program's shared-memory segments (ipcs: the creator's process id).
segments_of() { ipcs -m -p 2>/dev/null | awk -v pid="$1" '$3 == pid' | wc -l; }

# Runs the picture program on the display set up (ENV... its environment),
# expects the screen exact with the frame at AT, then Escape to end it with 0.
# FOCUS names the window that takes the keys (the program's own by default).
check_picture() {  # check_picture LABEL AT [ENV...]
  local label=$1 at=$2 pid seen= window cost
  shift 2
  env "$@" "$PROGRAM" >"$ARTIFACTS/$label.out" 2>&1 &
  pid=$!
  wait_for_picture "$label" 30 $pid "$at" && seen="the picture was on the screen" || {
    kill -9 $pid 2>/dev/null
    return 1
  }
  cost=$(usage $pid "${MEASURE_SECONDS:-2}")
  SEGMENTS=$(segments_of $pid)
  window=$("$X_WINDOW" find "${FOCUS:-24 BIT BITMAP}" | cut -d' ' -f1)
  [ -n "$window" ] && xdotool windowfocus --sync "$window" 2>/dev/null
  # A compositor gives its keyboard to the window clicked (the picture takes no clicks).
  [ -n "${FOCUS:-}" ] && xdotool mousemove 500 400 click 1
  press_escape
  wait_for_exit $pid 20
  expect_status "$label: Escape (${cost:-no usage read})" 0 "$STATUS" "$seen"
}

# Bare X servers, or openbox, full screen.
displays=(1024x768x24 1920x1080x24 640x480x16 1280x1024x15 1920x1080x30)
[ "$PART" = desktops ] && displays=(openbox:1920x1080x24)
for display in "${displays[@]}"; do
  geometry=${display#openbox:} label="displays $display"
  start_xvfb "$geometry" || { echo "FAIL $label: Xvfb did not start"; failed=1; continue; }
  size=${geometry%x*}
  if [ "$display" != "$geometry" ]; then
    openbox >"$ARTIFACTS/openbox.out" 2>&1 &
    HELPER_PIDS+=($!)
    sleep 1
  fi
  at=$(fit "${size%x*}" "${size#*x}")
  check_picture "$label" "$at" || failed=1
  if [ "${display#1920x1080x}" != "$display" ]; then  # SDL's renderer, and our own X11 path at 30 bits
    NAME="$label" FS_AT=$at check_sketch_fullscreen || failed=1
  elif [ "$display" != "$geometry" ]; then
    { NAME="$label" check_sketch_window 1920 1080 framed wm && end_sketch close "$label sketch: a close request ends it"; } ||
      failed=1
  fi
  cleanup
done

if [ "$PART" = bare ]; then
  # No shared memory: the extension absent, and every segment refused.
  start_xvfb 640x480x24 -extension MIT-SHM || { echo "FAIL: Xvfb did not start"; exit 1; }
  check_picture "displays without MIT-SHM" "0 0 1" || failed=1
  cleanup
  start_xvfb 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
  check_picture "displays with shared memory" "0 0 1" && with_shm=$SEGMENTS || failed=1
  check_picture "displays with every segment refused" "0 0 1" LD_PRELOAD="$BUILD/librefuse_shm.so" || failed=1
  if [ "${with_shm:-0}" -gt 0 ] && [ "${SEGMENTS:-1}" -eq 0 ]; then
    echo "ok   displays: $with_shm shared segments held with MIT-SHM, none when the server refuses them"
  else
    echo "FAIL displays: shared segments held: ${with_shm:-?} with MIT-SHM, ${SEGMENTS:-?} when refused"
    failed=1
fi
cleanup

# A pseudo-colour screen: nothing can be shown, the open fails at once.
start_xvfb 640x480x8 || { echo "FAIL: Xvfb did not start"; exit 1; }
start=$SECONDS
status=$(timeout 20 "$PROGRAM" >"$ARTIFACTS/displays-depth-8.out" 2>&1; echo $?)
if [ "$status" = 255 ] && [ $((SECONDS - start)) -le 5 ] && ! "$X_WINDOW" find "24 BIT BITMAP" >/dev/null; then
  echo "ok   displays 640x480x8: exit status 255 after $((SECONDS - start)) s, no window left"
else
  echo "FAIL displays 640x480x8: exit status $status after $((SECONDS - start)) s"
  keep_evidence displays-depth-8
  failed=1
fi
cleanup

fi

# Wayland: weston's X11 backend on Xvfb, one 1024 x 768 output at (0, 0):
# the picture full screen, ended by Escape and by SIGTERM; the sketch full
# screen, and the C and Python examples in windows weston places, found by
# their frames' colours.
if [ "$PART" = desktops ]; then
  . "$ROOT/tests/e2e/examples.sh"
  start_xvfb 1024x768x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
  runtime=$(mktemp -d)
  XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --socket=picture-wayland --width=1024 --height=768 \
    --idle-time=0 >"$ARTIFACTS/weston.out" 2>&1 &
  HELPER_PIDS+=($!)
  # Ready once its shell has drawn the desktop's background.
  for _ in $(seq 150); do [ "$(colours_at 1000 700)" != 0x000000 ] && break; sleep 0.2; done
  wayland=(XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=picture-wayland SDL_VIDEODRIVER=wayland)
  WESTON="Weston Compositor - screen0"
  at=$(fit 1024 768)
  FOCUS=$WESTON check_picture "displays wayland" "$at" "${wayland[@]}" || failed=1
  env "${wayland[@]}" "$PROGRAM" >"$ARTIFACTS/displays-wayland-sigterm.out" 2>&1 &
  pid=$!
  seen=
  wait_for_picture displays-wayland-sigterm 30 $pid "$at" && seen=1 || failed=1
  expect_signal_ends "displays wayland SIGTERM" TERM 143 $pid "$seen" || failed=1
  # The keyboard is weston's window's; its windows are found by what they show
  # (the question box is an X window of its own).
  end_sketch() {  # end_sketch escape LABEL
    WINDOW_ID=$("$X_WINDOW" find "$WESTON" | cut -d' ' -f1)
    xdotool windowfocus --sync "$WINDOW_ID" 2>/dev/null
    press_escape
    wait_for_exit "$SKETCH_PID" 60
    expect_status "$2" 0 "$STATUS" "$SKETCH_SEEN"
  }
  locate_example() {
    local deadline=$((SECONDS + 60)) box
    WINDOW_ID=$("$X_WINDOW" find "$WESTON" | cut -d' ' -f1)
    while [ $SECONDS -lt $deadline ] && kill -0 "$SKETCH_PID" 2>/dev/null; do
      if box=$("$SCREEN_CHECK" find 0x203040) && [ "$(echo "$box" | cut -d' ' -f3-)" = "642 482" ]; then
        read -r WINDOW_X WINDOW_Y _ <<<"$box"
        return 0
      fi
      sleep 0.3
    done
    echo "FAIL $NAME: no 642 x 482 frame of the example on the screen (last seen: ${box:-none})"
    return 1
  }
  SKETCH="env ${wayland[*]} $SKETCH" NAME="displays wayland" FS_AT=$at check_sketch_fullscreen || failed=1
  kill -9 "$SKETCH_PID" 2>/dev/null
  check_example "displays wayland C example" env "${wayland[@]}" "$BUILD/examples/c/example" || failed=1
  check_example "displays wayland Python example" env "${wayland[@]}" PICTURE_DISPLAY_LIBRARY="$BUILD/src/libpicture-display.so.1" \
    python3 "$ROOT/examples/python/example.py" || failed=1
  cleanup
  rm -rf "$runtime"
fi
exit $failed
