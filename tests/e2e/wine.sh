#!/usr/bin/env bash
# End to end on Windows: the cross-built picture.exe under Wine, in a 640 x 480
# virtual desktop on Xvfb, shows the picture pixel for pixel, ends with status 0
# on Escape, and with -1 (255) in a prefix without a usable display. The
# converter tests built for Windows run there first.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/default}
EXE=${EXE:-$ROOT/build/windows/src/picture.exe}
. "$ROOT/tests/e2e/common.sh"
failed=0

export WINEDEBUG=-all
WINEPREFIX=
cleanup() {
  [ -n "$WINEPREFIX" ] && { wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"; }
  stop_xvfb
}
trap cleanup EXIT

start_xvfb 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
WINEPREFIX=$("$ROOT/scripts/wine-prefix" 640x480) || { echo "FAIL: no Wine prefix"; exit 1; }
export WINEPREFIX

# The converters as MinGW compiled them (every path this processor has), bit-exact.
TESTS_EXE=$(dirname "$EXE")/../tests/windows/convert_tests.exe
if [ -f "$TESTS_EXE" ]; then
  if wine "$TESTS_EXE" >"$ARTIFACTS/convert_tests.exe.txt" 2>&1; then
    echo "ok   wine convert_tests.exe: $(grep -E 'PASSED' "$ARTIFACTS/convert_tests.exe.txt")"
  else
    tail -20 "$ARTIFACTS/convert_tests.exe.txt"
    echo "FAIL wine convert_tests.exe"
    failed=1
  fi
fi

wine "$EXE" >/dev/null 2>&1 &
pid=$!
wait_for_picture wine 60 || failed=1
press_escape
wait_for_exit $pid 30
expect_status "wine Escape" 0 "$STATUS" || failed=1
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
stop_xvfb

# The same prefix with no X server to show on.
status=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 wine "$EXE" >/dev/null 2>&1; echo $?)
expect_status "wine without a display" 255 "$status" || failed=1
exit $failed
