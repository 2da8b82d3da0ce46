# Shared by the end-to-end checks of the sketch example, on whichever display
# server and platform (sourced after common.sh). The caller sets SKETCH to the
# command that runs the sketch, and defines answer_question WINDOW yes|no,
# which answers the "Fullscreen Mode ?" box with that X window id.

PAPER=0x183048
EDGE=0x60C0FF
INK=0xFFD020
POINTER=0xFFFFFF
# The frame metrics of both Windows under Wine and our emulation: sizing frame
# 4, dialog frame 3, caption 19. A 640 x 480 client measured as an overlapped
# window is 648 x 507; created with a fixed frame its client is 642 x 482.
OUTER_W=648
OUTER_H=507

# The screen pixels at X Y pairs, each printed as 0xRRGGBB.
colours_at() { "$SCREEN_CHECK" pixels "$@" | awk '{print $3}'; }

# Whether two colours are within TOLERANCE in every channel (a stretch may blend).
close_to() {  # close_to GOT WANT [TOLERANCE]
  [[ $1 == 0x?????? ]] || return 1
  local got=$(($1)) want=$(($2)) tolerance=${3:-40} shift d
  for shift in 16 8 0; do
    d=$((((got >> shift) & 255) - ((want >> shift) & 255)))
    [ ${d#-} -le "$tolerance" ] || return 1
  done
}

# Checks screen pixels against colours: each argument is X,Y,COLOUR or X,Y,!COLOUR
# (anything but that colour). Reports NAME with the first mismatch.
expect_pixels() {  # expect_pixels NAME X,Y,COLOUR...
  local name=$1 spec coords=() got i=0
  shift
  for spec in "$@"; do coords+=("${spec%%,*}" "$(echo "$spec" | cut -d, -f2)"); done
  mapfile -t got < <(colours_at "${coords[@]}")
  for spec in "$@"; do
    local want=${spec##*,} x=${coords[$((2 * i))]} y=${coords[$((2 * i + 1))]} value=${got[$i]}
    i=$((i + 1))
    if [[ $want == !* ]]; then
      close_to "$value" "${want#!}" && {
        echo "FAIL $name: ($x, $y) shows $value"
        return 1
      }
    elif ! close_to "$value" "$want"; then
      echo "FAIL $name: ($x, $y) shows $value, want $want"
      return 1
    fi
  done
  echo "ok   $name"
}

# Retries expect_pixels for up to SECONDS, as frames take their time to come.
wait_for_pixels() {  # wait_for_pixels SECONDS NAME X,Y,COLOUR...
  local deadline=$((SECONDS + $1))
  shift
  while [ $SECONDS -lt $deadline ]; do
    expect_pixels "$@" >/dev/null && {
      echo "ok   $1"
      return 0
    }
    sleep 0.3
  done
  expect_pixels "$@"
}

# Waits for a viewable window named TITLE (Sketch) of the given size, while
# SKETCH_PID runs; sets WINDOW_ID, WINDOW_X, WINDOW_Y (its place on the screen).
wait_for_window() {  # wait_for_window WIDTH HEIGHT SECONDS [TITLE]
  local deadline=$((SECONDS + $3)) found title=${4:-Sketch}
  while [ $SECONDS -lt $deadline ] && kill -0 "$SKETCH_PID" 2>/dev/null; do
    if found=$("$X_WINDOW" find "$title") && [ "$(echo "$found" | cut -d' ' -f4-)" = "$1 $2" ]; then
      read -r WINDOW_ID WINDOW_X WINDOW_Y _ <<<"$found"
      return 0
    fi
    sleep 0.3
  done
  echo "FAIL $NAME: no $1 x $2 window named $title (last seen: ${found:-none})"
  return 1
}

# The mouse at client position (X, Y) is at frame pixel (X, Y), which the
# stretch into the 642 x 482 client area shows at client (X * 642 / 640,
# Y * 482 / 480): this gives that screen position, as "SX,SY".
at() { echo "$((LEFT + ($1 * 642 + 639) / 640)),$((TOP + ($2 * 482 + 479) / 480))"; }

# Starts the sketch (extra arguments are its own) and answers its question.
# SKETCH_SEEN says what showed it running, once a check has seen it.
start_sketch() {  # start_sketch yes|no [ARGUMENTS...]
  local answer=$1 deadline=$((SECONDS + 60)) found
  shift
  $SKETCH "$@" >"$ARTIFACTS/$NAME-sketch.out" 2>&1 &
  SKETCH_PID=$!
  SKETCH_SEEN=
  while [ $SECONDS -lt $deadline ] && kill -0 "$SKETCH_PID" 2>/dev/null; do
    found=$("$X_WINDOW" find Sketch) && break
    sleep 0.3
  done
  [ -n "${found:-}" ] || {
    echo "FAIL $NAME: the question never showed$(kill -0 "$SKETCH_PID" 2>/dev/null || echo " (the sketch had ended)")"
    keep_evidence "$NAME-sketch"
    return 1
  }
  answer_question "${found%% *}" "$answer"
}

# A window on the screen, asked for with No: its geometry as computed from the
# screen's size, the frame stretched into the client area and nothing outside
# it, fresh frames following the mouse, strokes where they were drawn, the right
# button and the key C clearing, a cover's removal repainted through WM_PAINT alone while
# another window is active, and nothing new drawn meanwhile.
# With "wm", a window manager frames and places the window: its place is the
# window manager's, and the rest is checked where it put it.
check_sketch_window() {  # check_sketch_window SCREEN_W SCREEN_H framed|borderless [wm]
  local label="$NAME sketch ($3 window)" x=$((($1 - OUTER_W) >> 1)) y=$((($2 - OUTER_H) >> 1))
  start_sketch no $([ "$3" = borderless ] && echo --borderless) || return 1
  wait_for_window 642 482 60 || return 1
  LEFT=$x TOP=$y
  [ "$3" = framed ] && LEFT=$((x + 3)) TOP=$((y + 3 + 19))
  [ "${4:-}" = wm ] && LEFT=$WINDOW_X TOP=$WINDOW_Y
  if [ "$WINDOW_X $WINDOW_Y" = "$LEFT $TOP" ]; then
    echo "ok   $label: client area 642 x 482 at ($LEFT, $TOP)"
  else
    echo "FAIL $label: client area at ($WINDOW_X, $WINDOW_Y), want ($LEFT, $TOP)"
    return 1
  fi
  local r=$((LEFT + 641)) b=$((TOP + 481)) mx=$((LEFT + 320)) my=$((TOP + 240)) outside=()
  # Around the client area: black, or the window manager's frame.
  [ "${4:-}" = wm ] ||
    outside=("$((LEFT - 1)),$my,0x000000" "$((r + 1)),$my,0x000000" "$mx,$((TOP - 1)),0x000000" "$mx,$((b + 1)),0x000000")
  wait_for_pixels 30 "$label: the frame fills the client area${outside:+, nothing outside}" \
    "$LEFT,$TOP,$EDGE" "$r,$b,$EDGE" "$mx,$TOP,$EDGE" "$LEFT,$my,$EDGE" "$r,$my,$EDGE" "$mx,$b,$EDGE" \
    "$((LEFT + 4)),$my,$PAPER" "${outside[@]}" || return 1
  SKETCH_SEEN="its window was on the screen"

  xdotool windowfocus --sync "$WINDOW_ID" 2>/dev/null
  xdotool mousemove --window "$WINDOW_ID" 100 120
  wait_for_pixels 20 "$label: the pointer drawn at (100, 120)" "$(at 100 120),$POINTER" || return 1
  xdotool mousemove --window "$WINDOW_ID" 400 300
  wait_for_pixels 20 "$label: fresh frames follow the mouse to (400, 300)" \
    "$(at 400 300),$POINTER" "$(at 100 120),$PAPER" || return 1

  xdotool mousemove --window "$WINDOW_ID" 150 200 mousedown 1
  local fx
  for fx in 200 250 300 350; do
    sleep 0.2
    xdotool mousemove --window "$WINDOW_ID" $fx 200
  done
  sleep 0.3
  xdotool mouseup 1
  xdotool mousemove --window "$WINDOW_ID" 250 400
  wait_for_pixels 20 "$label: a stroke from (150, 200) to (350, 200)" \
    "$(at 160 200),$INK" "$(at 250 200),$INK" "$(at 340 200),$INK" "$(at 250 210),$PAPER" "$(at 400 200),$PAPER" ||
    return 1
  # Held for a moment, as a person's click: the sketch polls the button once a frame.
  xdotool mousedown 3
  sleep 0.3
  xdotool mouseup 3
  wait_for_pixels 20 "$label: the right button clears" "$(at 250 200),$PAPER" "$(at 160 200),$PAPER" || return 1
  # So does the key C, held for a moment, after a dab at (200, 250).
  xdotool mousemove --window "$WINDOW_ID" 200 250 mousedown 1 sleep 0.3 mouseup 1 mousemove --window "$WINDOW_ID" 250 400
  wait_for_pixels 20 "$label: a dab at (200, 250)" "$(at 200 250),$INK" || return 1
  xdotool keydown c sleep 0.3 keyup c
  wait_for_pixels 20 "$label: the key C clears" "$(at 200 250),$PAPER" || return 1

  # Another window covers the right half and takes the focus: the sketch is
  # inactive. Its mouse moves draw nothing new; uncovered, it repaints.
  xdotool mousemove --window "$WINDOW_ID" 100 300
  wait_for_pixels 20 "$label: the pointer at (100, 300)" "$(at 100 300),$POINTER" || return 1
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  "$X_WINDOW" cover "$mx" "$TOP" 321 482 <"$fifo" >"$fifo.out" &
  local cover_pid=$!
  exec {cover}>"$fifo"
  sleep 1
  expect_pixels "$label: covered" "$((mx + 100)),$my,0x808080" || return 1
  xdotool mousemove --window "$WINDOW_ID" 50 100
  sleep 1.5
  expect_pixels "$label: nothing new drawn while another window is active" \
    "$(at 50 100),$PAPER" "$(at 100 300),$POINTER" || return 1
  echo >&$cover
  exec {cover}>&-
  wait $cover_pid
  rm -f "$fifo" "$fifo.out"
  # A window manager gives the focus back as the cover goes (fresh frames then
  # follow the mouse); without one the sketch stays inactive and only repaints.
  if [ "${4:-}" = wm ]; then
    wait_for_pixels 20 "$label: uncovered and active again, fresh frames" \
      "$((mx + 100)),$my,$PAPER" "$r,$my,$EDGE" "$(at 50 100),$POINTER" "$(at 100 300),$PAPER" || return 1
  else
    wait_for_pixels 20 "$label: uncovered, repainted through WM_PAINT alone" \
      "$((mx + 100)),$my,$PAPER" "$r,$my,$EDGE" "$(at 100 300),$POINTER" "$(at 50 100),$PAPER" || return 1
  fi
  # Activated again as a person does it: a click into the window (the middle
  # button, which draws nothing) and the keyboard focus.
  xdotool mousemove --window "$WINDOW_ID" 60 110 click 2
  xdotool windowfocus --sync "$WINDOW_ID" 2>/dev/null
  wait_for_pixels 20 "$label: active again, fresh frames" "$(at 60 110),$POINTER" "$(at 100 300),$PAPER" || return 1
}

# Ends the sketch with a close request (framed) or Escape, and expects status 0.
end_sketch() {  # end_sketch close|escape LABEL
  if [ "$1" = close ]; then
    "$X_WINDOW" close Sketch
  else
    xdotool windowfocus --sync "$WINDOW_ID" 2>/dev/null
    press_escape
  fi
  wait_for_exit "$SKETCH_PID" 60
  expect_status "$2" 0 "$STATUS" "$SKETCH_SEEN"
}

# Full screen, asked for with Yes: the frame covers the screen one pixel for
# one (on a larger screen, FS_AT="X Y SCALE": scaled at that place), the
# pointer follows the mouse; Escape ends it with 0.
check_sketch_fullscreen() {  # check_sketch_fullscreen [SKETCH ARGUMENTS...]
  local label="$NAME sketch (full screen${1:+ $1})" fx fy k
  read -r fx fy k <<<"${FS_AT:-0 0 1}"
  # A frame pixel's screen position, as "SX,SY" (its square's top-left corner).
  fs() { echo "$((fx + $1 * k)),$((fy + $2 * k))"; }
  start_sketch yes "$@" || return 1
  # The pointer goes where the mouse is (before any move, wherever it was).
  wait_for_pixels 60 "$label: the frame covers the screen" \
    "$(fs 639 479),$EDGE" "$(fs 320 479),$EDGE" "$(fs 639 240),$EDGE" "$(fs 0 470),$EDGE" "$(fs 4 470),$PAPER" || return 1
  SKETCH_SEEN="its frame was on the screen"
  xdotool mousemove "$((fx + 200 * k))" "$((fy + 150 * k))"
  wait_for_pixels 20 "$label: the pointer at (200, 150)" "$(fs 200 150),$POINTER" "$(fs 210 150),$POINTER" \
    "$(fs 200 162),$PAPER" "$(fs 0 0),$EDGE" "$(fs 320 0),$EDGE" "$(fs 0 240),$EDGE" || return 1
  WINDOW_ID=$("$X_WINDOW" find Sketch | cut -d' ' -f1)
  end_sketch escape "$label: Escape"
}
