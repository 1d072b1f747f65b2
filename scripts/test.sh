#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite, the suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
bash "$here/deps.sh"
bash "$here/build.sh"
(cd "$root/build" && ctest --output-on-failure -j"$(nproc)" --timeout 600)

echo "== the suite under ASan and UBSan"
cmake -S "$root" -B "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_SANITIZE=ON -DZELK_BUILD_BENCH=OFF >/dev/null
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --build "$root/build-sanitize" -j"$(nproc)"
(cd "$root/build-sanitize" && ctest --output-on-failure -j"$(nproc)" --timeout 900)
unset ASAN_OPTIONS UBSAN_OPTIONS

echo "== fuzzing"
bash "$here/fuzz.sh"
