# Shared by the end-to-end checks: a private Xvfb, waiting for the picture on
# the screen, Escape through the X server, and the program's exit status.
# Expects ROOT (the source tree) and BUILD (the native build folder).

SCREEN_CHECK="$BUILD/screen_check"
X_WINDOW="$BUILD/x_window"
PICTURE_BMP="$ROOT/assets/picture.bmp"
ARTIFACTS=${ARTIFACTS:-$ROOT/build/e2e}
mkdir -p "$ARTIFACTS"

XVFB_PID=
start_xvfb() {  # start_xvfb WxHxD [XVFB ARGUMENTS...]: sets DISPLAY
  local display
  read -r display XVFB_PID < <("$ROOT/scripts/xvfb-start" "$@") || return 1
  export DISPLAY=$display
}
stop_xvfb() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; XVFB_PID=; }

# Keeps what the screen shows now as $ARTIFACTS/NAME.png, and names it with
# the program output kept beside it (NAME.out), for a check that failed.
keep_evidence() {  # keep_evidence NAME
  "$SCREEN_CHECK" capture "$ARTIFACTS/$1.png" 2>/dev/null
  echo "     kept: the screen in $ARTIFACTS/$1.png$([ -s "$ARTIFACTS/$1.out" ] && echo ", the program's output in $ARTIFACTS/$1.out")"
}

# Waits until the screen shows the picture at (101, 80) on black (with AT,
# "X Y SCALE": the whole screen, the frame scaled at that place); gives up at
# once when PID (the program, if given) has ended. On a failure the last
# comparison's report and its diff image are left in $ARTIFACTS.
wait_for_picture() {  # wait_for_picture NAME SECONDS [PID] [AT]
  local name=$1 deadline=$((SECONDS + $2)) pid=${3:-} at=()
  [ -n "${4:-}" ] && read -ra at <<<"at $4"
  while [ $SECONDS -lt $deadline ]; do
    if "$SCREEN_CHECK" compare "$PICTURE_BMP" 101 80 "${at[@]}" >"$ARTIFACTS/$name.compare.txt" 2>&1; then
      "$SCREEN_CHECK" capture "$ARTIFACTS/$name.png"
      cat "$ARTIFACTS/$name.compare.txt"
      return 0
    fi
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
      echo "FAIL $name: the program ended before the screen showed the picture"
      keep_evidence "$name"
      return 1
    fi
    sleep 0.5
  done
  "$SCREEN_CHECK" compare "$PICTURE_BMP" 101 80 "$ARTIFACTS/$name.diff.png" "${at[@]}" |
    tee "$ARTIFACTS/$name.compare.txt" | head -12
  echo "FAIL $name: the screen never showed the picture"
  keep_evidence "$name"
  return 1
}

# Holds Escape down for a moment, as a person does: the program ends only when a
# poll sees the key down and newly pressed, which a tap between two frames is not.
press_escape() {
  xdotool keydown Escape
  sleep 0.4
  xdotool keyup Escape
}

# Waits for our child PID to end and sets STATUS to its exit status ("timeout"
# if it had to be killed after SECONDS). Not in a subshell: only we can wait for it.
STATUS=
wait_for_exit() {  # wait_for_exit PID SECONDS
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    STATUS=timeout
    return
  fi
  wait "$pid"
  STATUS=$?
}

# An exit status is evidence only of a program that was seen running: SEEN is
# what showed it (empty when nothing did, and the check fails).
expect_status() {  # expect_status NAME WANT GOT SEEN
  if [ -z "$4" ]; then
    echo "FAIL $1: exit status $3 of a program never seen running proves nothing"
    return 1
  elif [ "$3" = "$2" ]; then
    echo "ok   $1: exit status $3 ($4)"
  else
    echo "FAIL $1: exit status $3, expected $2"
    keep_evidence "${1// /-}"
    return 1
  fi
}

# Sends a signal to our child PID, seen running, and expects it to end within a
# second with the status that signal's default action gives (128 + its number).
expect_signal_ends() {  # expect_signal_ends NAME SIGNAL WANT PID SEEN
  local start
  start=$(date +%s%N)
  kill -"$2" "$4"
  wait_for_exit "$4" 5
  local ms=$((($(date +%s%N) - start) / 1000000))
  if [ -z "$5" ]; then
    echo "FAIL $1: the program was never seen running"
    return 1
  elif [ "$STATUS" = "$3" ] && [ "$ms" -le 1000 ]; then
    echo "ok   $1: exit status $STATUS after $ms ms"
  else
    echo "FAIL $1: exit status $STATUS after $ms ms, expected $3 within 1000 ms"
    return 1
  fi
}
