#!/usr/bin/env bash
# Installs what is missing, builds Tallix, writes a demo Kest folder with
# generated logs (./demo-kest) and analyses every demo log with tallix-report.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset release
cmake --build --preset release --target tallix-report tallix-demo-gen

demo="$PWD/demo-kest"
build/release/tools/tallix-demo-gen "$demo"

shopt -s nullglob nocaseglob
for f in "$demo"/*.{log,txt,rtf} "$demo"/{Reports,Logs,Monitor}/*.{log,txt,rtf}; do
    echo
    echo "==== $(basename "$(dirname "$f")")/$(basename "$f")"
    build/release/tools/tallix-report "$f" || echo "(tallix-report exited with status $?)"
done
