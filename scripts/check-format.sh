#!/usr/bin/env bash
# Fails when a C++ source of the repository differs from what clang-format
# makes of it (.clang-format at the top). With --fix, formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${sources[@]}"
    exit 0
fi
if ! clang-format --dry-run -Werror "${sources[@]}"; then
    echo "Formatting differs from .clang-format: run 'bash scripts/check-format.sh --fix'." >&2
    exit 1
fi
echo "Formatting: ${#sources[@]} files as .clang-format wants them."
