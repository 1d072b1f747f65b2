#!/usr/bin/env bash
# Builds the fuzz targets with clang under ASan and UBSan and runs each for a
# bounded time on small seeds that the fuzz build writes itself. Each target
# ends with one line "fuzzing TARGET: ..." that says what it found; the exit
# status is non-zero when any target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
corpus=build-fuzz/corpus
rm -rf "$corpus"
build-fuzz/tests/fuzz/zelk-fuzz-seeds "$corpus/description" "$corpus/picture"
faults=0
for target in description picture_record; do
  dir=$corpus/${target%_record}
  fuzzer=build-fuzz/tests/fuzz/${target}_fuzzer
  # The whole output goes to a file: the fuzzer's status is read from the
  # fuzzer itself, and a finding's report is kept in full.
  log=build-fuzz/${target}.log
  echo "== fuzzing ${target} for ${seconds}s"
  status=0
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/${target}-" "$dir" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  if [ "$status" -eq 0 ]; then
    coverage=$(grep -oE "cov: [0-9]+ ft: [0-9]+" "$log" | tail -1 || true)
    echo "fuzzing ${target}: no fault in ${runs:-?} runs${coverage:+, $coverage}"
    continue
  fi
  faults=$((faults + 1))
  grep -E "ERROR|SUMMARY|deadly signal|Test unit written to" "$log" || tail -20 "$log"
  reproducer=$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)
  echo "fuzzing ${target}: fault found (fuzzer exit ${status}), reproducer ${reproducer:-none written}, output ${log}"
done
[ "$faults" -eq 0 ]
