#!/usr/bin/env bash
# End to end on Windows, under Wine on Xvfb, for one build: ARCH 64
# (build/windows) or 32 (build/windows-i686).
#   1. Windows straight on a bare 1024 x 768 Xvfb: the converter tests (every
#      SIMD path as MinGW compiled it), the platform conformance suite's
#      windowed cases, and sketch.exe in a framed and a borderless window
#      (tests/e2e/sketch.sh).
#   2. In a 640 x 480 virtual desktop: the conformance suite's full-screen
#      cases, picture.exe showing the picture pixel for pixel and ending with
#      status 0 on Escape, and sketch.exe full screen.
#   3. Without a display: picture.exe ends with -1 (255).
# Usage: wine.sh [64|32]. WINE, if set, is the loader to run the programs with
# (a stand-in, when the checks themselves are checked); WINE64 is passed on to
# the prefix's helpers.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
ARCH=${1:-64}
BUILD=${BUILD:-$ROOT/build/default}
case $ARCH in
  64)
    WIN_BUILD=${WIN_BUILD:-$ROOT/build/windows}
    loader=wine
    [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
    WINE=${WINE:-$loader}
    ;;
  32)
    WIN_BUILD=${WIN_BUILD:-$ROOT/build/windows-i686}
    WINE=${WINE:-wine}
    ;;
  *)
    echo "usage: wine.sh [64|32]" >&2
    exit 2
    ;;
esac
. "$ROOT/tests/e2e/common.sh"
. "$ROOT/tests/e2e/sketch.sh"
ARTIFACTS=$ARTIFACTS/wine$ARCH
mkdir -p "$ARTIFACTS"
failed=0
NAME="wine $ARCH-bit"

export WINEDEBUG=-all
WINEPREFIX=
SKETCH_PID=
cleanup() {
  [ -n "$SKETCH_PID" ] && kill -9 "$SKETCH_PID" 2>/dev/null
  [ -n "$WINEPREFIX" ] && { wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"; }
  stop_xvfb
}
SKETCH="$WINE $WIN_BUILD/examples/sketch/sketch.exe"
# Wine's question box: Return takes the default button, Yes; N is No's mnemonic.
answer_question() {  # answer_question BOX yes|no
  xdotool windowfocus --sync "$1" key "$([ "$2" = yes ] && echo Return || echo n)"
}
# Ends whatever a failed check left running.
end_leftovers() {
  [ -n "$SKETCH_PID" ] && kill -9 "$SKETCH_PID" 2>/dev/null
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
}
trap cleanup EXIT

# Runs a Windows test program (GoogleTest) with arguments; its output is kept.
# It passed only if GoogleTest itself says so, of more than no test.
run_tests() {  # run_tests LABEL EXE [ARGS...]
  local label=$1 exe=$2
  shift 2
  local log="$ARTIFACTS/$label.txt" passed
  timeout 600 "$WINE" "$exe" "$@" >"$log" 2>&1
  local status=$?
  passed=$(grep -E '^\[  PASSED  \] [1-9][0-9]* tests?\.' "$log")
  if [ $status -eq 0 ] && [ -n "$passed" ] && ! grep -q '^\[  FAILED  \]' "$log"; then
    echo "ok   $NAME $label: $passed"
  elif [ $status -eq 0 ]; then
    echo "FAIL $NAME $label: exit status 0 but GoogleTest reported no test passed (output: $log)"
    return 1
  else
    grep -E "Failure|FAILED|Which is|Expected" "$log" | head -30
    echo "FAIL $NAME $label (output: $log)"
    return 1
  fi
}

WINEPREFIX=$("$ROOT/scripts/wine-prefix" off) || {
  echo "FAIL: no Wine prefix"
  exit 1
}
export WINEPREFIX

# 1. A bare X server larger than any window (Wine's windowed DirectDraw needs that).
start_xvfb 1024x768x24 || {
  echo "FAIL: Xvfb did not start"
  exit 1
}
run_tests convert_tests "$WIN_BUILD/tests/windows/convert_tests.exe" || failed=1
run_tests conformance-windowed "$WIN_BUILD/tests/windows/conformance_tests.exe" "--gtest_filter=-FullScreen*" ||
  failed=1
{ check_sketch_window 1024 768 framed && end_sketch close "$NAME sketch: a close request ends it"; } || failed=1
end_leftovers
{ check_sketch_window 1024 768 borderless && end_sketch escape "$NAME sketch: Escape ends it"; } || failed=1
end_leftovers
stop_xvfb

# 2. A virtual desktop, whose display mode full-screen programs may change.
"$ROOT/scripts/wine-desktop" "$WINEPREFIX" 640x480
start_xvfb 640x480x24 || {
  echo "FAIL: Xvfb did not start"
  exit 1
}
run_tests conformance-fullscreen "$WIN_BUILD/tests/windows/conformance_tests.exe" "--gtest_filter=FullScreen*" ||
  failed=1
"$WINE" "$WIN_BUILD/src/picture.exe" >/dev/null 2>&1 &
pid=$!
seen=
wait_for_picture "picture" 120 $pid && seen="the picture was on the screen" || failed=1
press_escape
wait_for_exit $pid 60
expect_status "$NAME picture.exe Escape" 0 "$STATUS" "$seen" || failed=1
end_leftovers
check_sketch_fullscreen || failed=1
end_leftovers
stop_xvfb

# 3. The same prefix with no X server to show on. Nothing can be seen, so the
# status counts only if this Wine was seen running the program above.
status=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 120 "$WINE" "$WIN_BUILD/src/picture.exe" >/dev/null 2>&1; echo $?)
expect_status "$NAME picture.exe without a display" 255 "$status" "${seen:+it showed the picture before}" ||
  failed=1
exit $failed
