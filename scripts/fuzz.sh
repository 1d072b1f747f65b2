#!/usr/bin/env bash
# Builds the fuzz targets with clang under ASan and UBSan and runs each for a
# bounded time on small seeds that the fuzz build writes itself.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
corpus=build-fuzz/corpus
rm -rf "$corpus"
build-fuzz/tests/fuzz/zelk-fuzz-seeds "$corpus/description" "$corpus/picture"
for target in description picture_record; do
  dir=$corpus/${target%_record}
  echo "== fuzzing ${target} for ${seconds}s"
  build-fuzz/tests/fuzz/${target}_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/ "$dir" 2>&1 | grep -E "^#[0-9]+ +DONE|stat::number_of_executed_units|cov:|ERROR|SUMMARY|crash|leak|timeout" | tail -4
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzzing ${target} found a fault"; exit 1; }
done
