#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite, the suite
# again under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer,
# and the fuzzers. Every stage runs even when one before it failed. It ends
# with a summary: each stage's outcome with its counts or findings, then one
# line that names the failed stages or says that all passed, as the exit status
# does.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root" || exit 1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=()
results=()
note=$scratch/note

# A stage writes what it has to say for the summary into $note.
stage() {
  local name=$1 outcome=passed line
  shift
  echo "== $name"
  : >"$note"
  "$@" || { outcome=failed; failed+=("$name"); }
  results+=("$name: $outcome")
  while IFS= read -r line; do results+=("  $line"); done <"$note"
}

suite() {
  local preset=$1 output=$scratch/ctest status counts
  cmake --preset "$preset" >/dev/null || { echo "configuring failed, no tests ran" >"$note"; return 1; }
  cmake --build --preset "$preset" -j"$(nproc)" || { echo "building failed, no tests ran" >"$note"; return 1; }
  ctest --preset "$preset" -j"$(nproc)" 2>&1 | tee "$output"
  status=${PIPESTATUS[0]}
  counts=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\2 tests, \1 failed/p' "$output" | tail -1)
  if [ -n "$counts" ]; then
    echo "$counts" >"$note"
  elif grep -q "No tests were found" "$output"; then
    echo "no tests found" >"$note"
  else
    echo "ctest exited with status $status before counting" >"$note"
  fi
  return "$status"
}


fuzzing() {
  local output=$scratch/fuzz status
  bash scripts/fuzz.sh 2>&1 | tee "$output"
  status=${PIPESTATUS[0]}
  # fuzz.sh ends each target with "fuzzing TARGET: what it found".
  sed -n 's/^fuzzing \([a-z_]*: \)/\1/p' "$output" >"$note"
  [ -s "$note" ] || echo "no fuzzer ran" >"$note"
  return "$status"
}

if ! bash scripts/deps.sh test; then
  echo "failed: installing the missing packages"
  exit 1
fi
stage "the suite" suite default
stage "the suite under the sanitizers" suite sanitize
stage "fuzzing" fuzzing

echo "== summary"
printf '%s\n' "${results[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  names=$(printf '%s, ' "${failed[@]}")
  echo "failed: ${names%, }"
  exit 1
fi
echo "all stages passed"
