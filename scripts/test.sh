#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite, the suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT

bash "$here/deps.sh"
bash "$here/build.sh"
(cd "$root/build" && ctest --output-on-failure -j"$(nproc)" --timeout 600) | tee -a "$log"

echo "== the suite under ASan and UBSan"
cmake -S "$root" -B "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_SANITIZE=ON -DZELK_BUILD_BENCH=OFF >/dev/null
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --build "$root/build-sanitize" -j"$(nproc)"
(cd "$root/build-sanitize" && ctest --output-on-failure -j"$(nproc)" --timeout 900) | tee -a "$log"
unset ASAN_OPTIONS UBSAN_OPTIONS

echo "== fuzzing"
bash "$here/fuzz.sh"

# Both suites together, in the one line a reader of the log looks for.
awk '/tests passed, [0-9]+ tests failed out of/ { failed += $4; total += $NF }
     END { printf "tests: %d passed, %d failed\n", total - failed, failed }' "$log"
