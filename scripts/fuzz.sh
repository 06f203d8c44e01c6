#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each of them, one after the other, for
# the given number of seconds on a copy of its seed corpus. The repository's
# corpus is never grown. Prints each target's execution count ("Done N runs")
# and exits non-zero when a target finds a crash, a failed check, a leak or a
# hang.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]     SECONDS defaults to 600
#
# TALLIX_FUZZ_BUILD_DIR overrides the build folder (default build/fuzz).
# Inputs that broke a target are kept in <build folder>/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(rtf run startup big)
fi
build_dir="${TALLIX_FUZZ_BUILD_DIR:-build/fuzz}"

echo "== Build the fuzz targets in $build_dir"
cmake --preset fuzz -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target tallix_fuzzers

work="$(mktemp -d "${TMPDIR:-/tmp}/tallix-fuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT
artifacts="$build_dir/fuzz-artifacts"
mkdir -p "$artifacts"

failed=()
summary=()
for t in "${targets[@]}"; do
    exe="$build_dir/fuzz/tallix_fuzz_$t"
    corpus="$work/corpus-$t"
    mkdir -p "$corpus"
    cp -r "fuzz/corpus/$t/." "$corpus/"
    dict=()
    if [ -f "fuzz/dict/$t.dict" ]; then
        dict=(-dict="fuzz/dict/$t.dict")
    fi
    log="$work/$t.log"
    echo "== tallix_fuzz_$t for ${seconds}s"
    status=0
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$exe" "$corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=30 \
        -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$t-" >"$log" 2>&1 || status=$?
    done_line="$(grep -E '^Done [0-9]+ runs' "$log" | tail -1 || true)"
    if [ "$status" -ne 0 ]; then
        tail -60 "$log"
        echo "tallix_fuzz_$t FAILED (exit $status); inputs kept in $artifacts"
        failed+=("$t")
        summary+=("tallix_fuzz_$t: FAILED ${done_line}")
    else
        tail -3 "$log"
        summary+=("tallix_fuzz_$t: ${done_line:-no final line} (corpus $(ls "$corpus" | wc -l) inputs)")
    fi
done

echo "== Fuzz summary (${seconds}s each)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzz targets that failed: ${failed[*]}"
    exit 1
fi
