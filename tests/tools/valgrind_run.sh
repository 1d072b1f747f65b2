#!/usr/bin/env bash
# Starts the program under valgrind memcheck, clicks "Движение", then
# "Движение2", checks from screenshots that each sequence ran to its end, and
# closes the window. Fails on any invalid access, any definite leak that the
# suppressions do not name, or a picture that is not where the sequence leaves
# it. It clicks and moves the pointer, so it runs on a display of its own:
# Usage: zelk-with-xvfb bash valgrind_run.sh PROGRAM CLOSE_WINDOW SUPPRESSIONS ART_DIR
set -euo pipefail
program=$1 close_window=$2 suppressions=$3 art=$4
[ -n "${DISPLAY:-}" ] || { echo "valgrind_run.sh: no DISPLAY; run it under zelk-with-xvfb"; exit 2; }
work=$(mktemp -d)
trap 'kill ${pid:+"$pid"} 2>/dev/null || true; wait || true; rm -rf "$work"' EXIT

# Limits in seconds, about ten times what the steps take under memcheck:
# 4-6 (window), 2-6 (slide), 17-25 (gallop), 0-1 (exit with the leak check).
window_limit=60 paint_limit=30 slide_limit=60 gallop_limit=180 exit_limit=60

fail() {
  echo "memcheck run: $*"
  cat "$work/program.err" "$work/memcheck.log" 2>/dev/null || true
  exit 1
}

# The box GEOMETRY of picture A, cut out into OUT.
crop() {
  convert "$1" -crop "$2" +repage "$3" || fail "convert could not crop $2 from $1"
}

# Whether box GA of picture A and box GB of picture B hold the same pixels.
same() {
  local a=$1 ga=$2 b=$3 gb=$4 status=0
  crop "$a" "$ga" "$work/a.png"
  crop "$b" "$gb" "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>/dev/null || status=$?
  [ $status -le 1 ] || fail "compare failed on $ga of $a and $gb of $b"
  return $status
}

# Takes screenshot NAME of the window until CHECK NAME holds, for at most LIMIT
# seconds; the program must stay up all the while.
until_shown() {
  local name=$1 limit=$2 check=$3 end=$((SECONDS + $2))
  while :; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before showing $name"
    import -window "$window" "$work/$name.png" || fail "import could not take a screenshot of $window"
    "$check" "$work/$name.png" && return 0
    [ $SECONDS -lt $end ] || fail "the window did not show $name within $limit s"
    sleep 0.5
  done
}

# Nearest-pixel scaling, as the stretched pictures are drawn.
convert "$art/img1.bmp" -sample '153x153!' "$work/img1.png" || fail "convert could not scale img1.bmp"
convert "$art/img3.bmp" -sample '153x153!' "$work/img3.png" || fail "convert could not scale img3.bmp"
scene=$art/scene.bmp

# At rest: Img1 in its box at (32,168), the scene where the slide will end.
at_rest() {
  same "$1" 153x153+32+168 "$work/img1.png" 153x153+0+0 && same "$1" 153x153+533+168 "$scene" 153x153+533+168
}
# After the slide: the same horse at x 533..685, rows 168..320, its start box bare.
slid() {
  same "$1" 153x153+533+168 "$work/start.png" 153x153+32+168 && same "$1" 153x153+32+168 "$scene" 153x153+32+168
}
# After the gallop: Img3 at x 547..699, rows 173..325, and the scene again in
# the strip x 533..546 that only Img1 covered.
galloped() {
  same "$1" 153x153+547+173 "$work/img3.png" 153x153+0+0 && same "$1" 14x153+533+168 "$scene" 14x153+533+168
}

# The program under memcheck, until its window shows.
start_program() {
  valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --error-exitcode=99 --child-silent-after-fork=yes --num-callers=40 \
    --suppressions="$suppressions" --log-file="$work/memcheck.log" "$program" 2> "$work/program.err" & pid=$!
  start=$SECONDS
  window=""
  while [ -z "$window" ]; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before its window opened"
    [ $((SECONDS - start)) -lt $window_limit ] || fail "no window named Form1 within $window_limit s"
    sleep 0.2
    window=$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -n 1) || window=""
  done
}

# A bus address that leads nowhere keeps the run the same everywhere: no
# session bus to talk to and none launched.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" XDG_RUNTIME_DIR="$work"

start_program
until_shown start $paint_limit at_rest
echo "memcheck: window $window at rest after $((SECONDS - start)) s: Img1 at x 32..184, rows 168..320"

xdotool mousemove --window "$window" 48 32 click 1 || fail "xdotool could not click Движение"
t=$SECONDS
until_shown slid $slide_limit slid
echo "memcheck: slide shown $((SECONDS - t)) s after the click: Img1 at x 533..685, rows 168..320, scene at x 32..184"

xdotool mousemove --window "$window" 48 96 click 1 || fail "xdotool could not click Движение2"
t=$SECONDS
until_shown galloped $gallop_limit galloped
echo "memcheck: gallop shown $((SECONDS - t)) s after the click: Img3 at x 547..699, rows 173..325, scene at x 533..546"

"$close_window" "$window" || fail "close_window failed"
t=$SECONDS
while kill -0 "$pid" 2>/dev/null; do
  [ $((SECONDS - t)) -lt $exit_limit ] || fail "the program did not end within $exit_limit s of the close request"
  sleep 0.2
done
status=0
wait "$pid" || status=$?
pid=""
echo "memcheck: program ended $((SECONDS - t)) s after the close request"
grep -E "ERROR SUMMARY|definitely lost|Invalid|uninitialised" "$work/memcheck.log" || true
[ $status -eq 0 ] || fail "exit code $status"
echo "memcheck: clean run of $((SECONDS - start)) s, exit code 0"
