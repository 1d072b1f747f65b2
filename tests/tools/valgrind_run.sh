#!/usr/bin/env bash
# Starts the program under valgrind memcheck on a fresh Xvfb, clicks
# "Движение" twice and closes the window; fails on any invalid access or a
# definite leak outside the libraries' own caches.
set -euo pipefail
program=$1 close_window=$2 suppressions=$3
work=$(mktemp -d)
trap 'kill "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM

valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --error-exitcode=99 --num-callers=40 --suppressions="$suppressions" --log-file="$work/memcheck.%p.log" \
  "$program" & pid=$!

window=""
for _ in $(seq 600); do
  window=$(xdotool search --name '^Form1$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "no window under valgrind"; kill $pid; exit 1; }
sleep 1
for _ in 1 2; do
  xdotool mousemove --window "$window" 48 32 click 1
  sleep 0.3
done
"$close_window" "$window"
status=0
wait $pid || status=$?
cat "$work"/memcheck.*.log | grep -E "ERROR SUMMARY|definitely lost|Invalid|uninitialised" || true
if [ $status -ne 0 ]; then
  cat "$work"/memcheck.*.log
  echo "memcheck run failed with exit code $status"
  exit 1
fi
echo "memcheck: clean run, exit code 0"
