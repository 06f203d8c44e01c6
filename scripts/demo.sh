#!/usr/bin/env bash
# Installs what is missing, builds Tallix, writes a demo Kest folder with
# generated logs (./demo-kest), installs the program into it as Kest would have
# it and starts it there with Kest's launch code.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset release
cmake --build --preset release --target tallix tallix-report tallix-demo-gen

demo="$PWD/demo-kest"
build/release/tools/tallix-demo-gen "$demo"
# As an operator installs the add-on into a Kest folder.
cmake --install build/release --component kest --prefix "$demo"

echo
echo "A first look from the terminal, at Reports/qso-report.txt:"
build/release/tools/tallix-report "$demo/Reports/qso-report.txt" | head -n 16

echo
echo "Starting Tallix in $demo, as Kest starts it..."
cd "$demo"
exec ./tallix 4KTRMN
