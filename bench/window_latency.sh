#!/usr/bin/env bash
# The real window's figures under a private X server (Xvfb): a 65000-line log
# (preview, runs, Cancel), a 60000-paragraph rich-text log (preview), and
# files too large to show: 1 GB of 64999 lines (also named ".rtf", and as
# 1 GB of rich text, each processed through the temporary file and, with
# "rtftemp.tmp" a folder in the way, from memory), 200 MB in one line, a 16 MB
# line. Prints what tallix_window_bench prints for each.
#
#   bench/window_latency.sh [BUILD_DIR] [large]   (large: the large files only)
#
# BUILD_DIR defaults to build/dev. Needs Xvfb; the large files (up to 2.1 GB
# at a time, with the temporary file) are written to a temporary folder, the
# current folder while the benchmark runs, and removed at the end.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(realpath "${1:-$here/../build/dev}")"
bench="$build/bench/tallix_window_bench"

work="$(mktemp -d)"
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
display=":$((50 + RANDOM % 200))"
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display" QT_QPA_PLATFORM=xcb LANG=C.UTF-8
sleep 1
cd "$work"

[ "${2:-}" = large ] || "$bench" log
[ "${2:-}" = large ] || "$bench" rtf

# 64999 lines of about 16.5 kB each: a frame header and a long data text.
line="Fm ST1 To CQ Via R1* >[10:00:00] $(head -c 16500 /dev/zero | tr '\0' 'x')"
{ yes "$line" || true; } | head -n 64999 | sed "s/$/\r/" >"$work/huge-1GB.log"
"$bench" "$work/huge-1GB.log"
# The same named ".rtf": its text goes through "rtftemp.tmp" in the current
# folder, or from memory where that cannot be written. A repaint is asked for
# every 100 ms, as an expose would.
mv "$work/huge-1GB.log" "$work/huge-1GB.rtf"
"$bench" "$work/huge-1GB.rtf" ask
rm -f "$work/rtftemp.tmp"
(mkdir "$work/temp-in-the-way" "$work/temp-in-the-way/rtftemp.tmp" &&
    cd "$work/temp-in-the-way" && "$bench" "$work/huge-1GB.rtf" ask)
rm "$work/huge-1GB.rtf"
# 1 GB of rich text: 64999 paragraphs, as above.
{
    printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0\\fs16\r\n'
    rich='\pard\li360\fi-180 {\b Fm ST1} To CQ Via R1* >[10:00:00] '
    { yes "$rich$(head -c 16450 /dev/zero | tr '\0' 'x')\\par" || true; } | head -n 64999 | sed "s/$/\r/"
    printf '}'
} >"$work/rich-1GB.rtf"
"$bench" "$work/rich-1GB.rtf" ask
rm -f "$work/rtftemp.tmp"
(cd "$work/temp-in-the-way" && "$bench" "$work/rich-1GB.rtf" ask)
rm "$work/rich-1GB.rtf"
# 200 MB without a line break.
{ printf 'Report Kest 3.1 '; head -c 200000000 /dev/zero | tr '\0' 'y'; } >"$work/one-line-200MB.log"
"$bench" "$work/one-line-200MB.log"
rm "$work/one-line-200MB.log"
# A short log with one line of 16 MB in it.
{ printf 'Report Kest 3.1\r\nFm ST1 To CQ >[10:00:00]\r\n'; head -c 16000000 /dev/zero | tr '\0' 'z'; printf '\r\nFm ST2 To CQ >[10:01:00]\r\n'; } >"$work/long-line-16MB.log"
"$bench" "$work/long-line-16MB.log"
