#!/usr/bin/env bash
# zelk-with-xvfb: the command runs on a display that answers, with Qt's
# offscreen platform unset; its exit status comes back as it was (a failing
# memcheck run must not pass); the server is gone afterwards, whatever the exit.
# Usage: with_xvfb_test.sh WITH_XVFB SCRATCH_DIR
set -euo pipefail
with_xvfb=$1 scratch=$2
mkdir -p "$scratch"
seen=$scratch/seen

# the command | the exit status expected
cases=(
  'exit 0|0'
  'exit 7|7'
  'kill -TERM $$|143'
  'exec /nonexistent/command|127'
)

failures=0
for c in "${cases[@]}"; do
  IFS='|' read -r command expected <<< "$c"
  rm -f "$seen"
  status=0
  QT_QPA_PLATFORM=offscreen "$with_xvfb" bash -c '
    { echo "$DISPLAY"; echo "platform=${QT_QPA_PLATFORM-unset}"
      xdotool getdisplaygeometry >/dev/null 2>&1 && echo answers; } > "$0"
    '"$command" "$seen" 2>/dev/null || status=$?
  display=$(head -n 1 "$seen" 2>/dev/null || true)
  problems=()
  [ "$status" = "$expected" ] || problems+=("exit status $status, not $expected")
  [[ $display =~ ^:[0-9]+$ ]] || problems+=("DISPLAY was \"$display\"")
  grep -qx "platform=unset" "$seen" 2>/dev/null || problems+=("QT_QPA_PLATFORM was still set")
  grep -qx answers "$seen" 2>/dev/null || problems+=("the display did not answer")
  if [[ $display =~ ^:[0-9]+$ ]] && DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1; then
    problems+=("the display $display still answers afterwards")
  fi
  if [ ${#problems[@]} -gt 0 ]; then
    echo "with \"$command\": $(IFS=';'; echo "${problems[*]}")"
    failures=$((failures + 1))
  fi
done
rm -rf "$scratch"

[ $failures -eq 0 ] || exit 1
echo "${#cases[@]} commands, each on a display of its own, its exit passed on, the server stopped"
