#!/usr/bin/env bash
# Installs, with apt, whatever of Tallix's build and test needs is missing on a
# Debian 12 machine. Installs nothing when all is there. Run as root (or with
# sudo available).
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev
    qt6-base-dev qt6-svg-dev fonts-liberation poppler-utils
    clang libclang-rt-14-dev clang-format
    scdoc groff-base man-db
    xvfb xauth
    libgraphviz-dev graphviz
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
