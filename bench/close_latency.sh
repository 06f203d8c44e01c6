#!/usr/bin/env bash
# How long the program lives on after its window is closed: at rest, and
# while a run of a long log is under way (closed DELAYS seconds after the
# Process click). Prints one line per close, in milliseconds.
#
#   bench/close_latency.sh [TALLIX] [DELAYS...]
#
# TALLIX defaults to build/dev/src/tallix. Needs Xvfb, xdotool and the X11
# headers (libx11-dev); runs on a private X server.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tallix="$(realpath "${1:-$here/../build/dev/src/tallix}")"
shift || true
delays=("$@")
[ ${#delays[@]} -gt 0 ] || delays=(0.1 0.2 0.3 0.5 0.7 0.9)

work="$(mktemp -d)"
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
cc -O2 -o "$work/wm_close" "$here/wm_close.c" -lX11

# A Kest folder with one long log (52604 lines), the program beside kest.ini.
mkdir -p "$work/kest/Reports"
printf ';Kest 3.2\r\nport=1\r\nbaud=1200\r\nPD9TLX\r\n' >"$work/kest/kest.ini"
{
    printf 'Report Kest 3.2\r\n'
    pad=$(printf 'x%.0s' $(seq 150))
    for ((i = 1; i < 52604; i++)); do
        if ((i % 2)); then
            printf 'Fm ST%d To CQ Via R1* >[10:%02d:00] %s\r\n' $((i % 700)) $((i / 1100 % 60)) "$pad"
        else
            printf 'data line of an invented frame %s\r\n' "$pad"
        fi
    done
} >"$work/kest/Reports/long.log"
cp "$tallix" "$work/kest/tallix"

display=":$((50 + RANDOM % 200))"
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
sleep 1

close_after() { # $1: seconds after the Process click, or "rest"
    (cd "$work/kest" && exec ./tallix 4KTRMN >/dev/null 2>&1) &
    local pid=$! wid=""
    for _ in $(seq 50); do
        wid=$(xdotool search --name 'Tallix 1.4.0' 2>/dev/null | head -1) && [ -n "$wid" ] && break
        sleep 0.1
    done
    sleep 0.5
    xdotool mousemove --window "$wid" 620 74 click 1 # the log, first in the list
    sleep 1
    if [ "$1" != rest ]; then
        xdotool mousemove --window "$wid" 615 190 click 1 # Process
        sleep "$1"
    fi
    local t0 t1
    t0=$(date +%s%N)
    "$work/wm_close" "$wid"
    while kill -0 "$pid" 2>/dev/null; do sleep 0.005; done
    t1=$(date +%s%N)
    if [ "$1" = rest ]; then
        echo "closed at rest (log chosen, no run): the program ended after $(((t1 - t0) / 1000000)) ms"
    else
        echo "closed ${1} s after Process: the program ended after $(((t1 - t0) / 1000000)) ms"
    fi
}

close_after rest
for d in "${delays[@]}"; do close_after "$d"; done
