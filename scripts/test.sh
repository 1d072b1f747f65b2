#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite, the suite
# again under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer,
# and the fuzzers. Every stage runs even when one before it failed; the last
# line sums up both suites, and the exit status says whether all passed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root" || exit 1
log=$(mktemp)
trap 'rm -f "$log"' EXIT
failed=()

stage() {
  local name=$1
  shift
  echo "== $name"
  "$@" || failed+=("$name")
}

suite() {
  local preset=$1
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j"$(nproc)" &&
    ctest --preset "$preset" -j"$(nproc)" | tee -a "$log"
}

sanitized_suite() (
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="suppressions=$root/tests/tools/lsan.supp:print_suppressions=0"
  suite sanitize
)

bash scripts/deps.sh test || exit 1
stage "the suite" suite default
stage "the suite under the sanitizers" sanitized_suite
stage "fuzzing" bash scripts/fuzz.sh

awk '/tests passed, [0-9]+ tests failed out of/ { failed += $4; total += $NF }
     END { printf "tests: %d passed, %d failed\n", total - failed, failed }' "$log"
if [ ${#failed[@]} -gt 0 ]; then
  printf 'failed: %s\n' "${failed[@]}"
  exit 1
fi
