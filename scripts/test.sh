#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test; then builds again with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs the tests once more; last, builds the fuzz targets with clang and
# runs each briefly on its seed corpus. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== Formatting (clang-format)"
bash scripts/check-format.sh

log=$(mktemp)
trap 'rm -f "$log"' EXIT

echo "== Build (warnings are errors) and test"
cmake --preset ci
cmake --build --preset ci
ctest --preset ci | tee -a "$log"

echo "== Build with AddressSanitizer + UndefinedBehaviorSanitizer and test"
cmake --preset asan
cmake --build --preset asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --preset asan | tee -a "$log"

echo "== Fuzz targets, briefly (libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer)"
bash scripts/fuzz.sh 20

# One closing line over both test runs (a failed run has stopped the script).
awk '/tests passed, [0-9]+ tests failed out of/ { total += $NF; failed += $4 }
     END { printf "tests: %d passed, %d failed\n", total - failed, failed }' "$log"
