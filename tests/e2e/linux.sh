#!/usr/bin/env bash
# End to end on Linux: the native program with its SDL2 screen on a 640 x 480
# Xvfb shows the picture pixel for pixel, ends with status 0 on Escape, and
# with -1 (255) when no display server can be reached.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/default}
. "$ROOT/tests/e2e/common.sh"
PROGRAM="$BUILD/src/picture"
failed=0

start_xvfb 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
trap stop_xvfb EXIT
"$PROGRAM" &
pid=$!
wait_for_picture linux 30 || failed=1
press_escape
wait_for_exit $pid 20
expect_status "linux Escape" 0 "$STATUS" || failed=1
stop_xvfb

# No display server: neither a DISPLAY nor a reachable one.
status=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$PROGRAM" >/dev/null 2>&1; echo $?)
expect_status "linux without a display" 255 "$status" || failed=1
status=$(env -u WAYLAND_DISPLAY DISPLAY=:8191 timeout 20 "$PROGRAM" >/dev/null 2>&1; echo $?)
expect_status "linux with an unreachable display" 255 "$status" || failed=1
exit $failed
