#!/usr/bin/env bash
# Whole-process time and peak memory of tallix-report, against `wc -l` on the
# same file, in one go:
#
#   1. time: the demo's 65000-line log, `wc -l` and `tallix-report` run by
#      hyperfine (-N, no shell), and the ratio of their mean times;
#   2. memory: peak resident size (/usr/bin/time -f %M) of `tallix-report` on
#      a 200 MB log of 64990 lines, a 1 GB log of 64999 lines and a 100 MB
#      one-line log, against 1.25 x the file size + 64 MB;
#   3. time of the 100 MB one-line log.
#
#   bash bench/report_vs_wc.sh [BUILD_DIR]      BUILD_DIR defaults to build/release
#
# Build first: cmake --preset release && cmake --build --preset release
#   --target tallix-report tallix-demo-gen
# The big files (about 1.3 GB) go to a temporary folder under ${TMPDIR:-/tmp}
# and are removed at the end. Needs hyperfine.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build/release}"
report="$build/tools/tallix-report"
gen="$build/tools/tallix-demo-gen"
for exe in "$report" "$gen"; do
    [ -x "$exe" ] || { echo "missing $exe: build the release preset first" >&2; exit 1; }
done
command -v hyperfine >/dev/null || { echo "needs hyperfine" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/tallix-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

"$gen" "$work/demo" >/dev/null
log="$work/demo/Logs/big65000.log"
call="PD9TLX"

echo "== Time: $(wc -l <"$log") lines, $(stat -c %s "$log") bytes"
hyperfine -N --warmup 20 --runs 300 --export-json "$work/time.json" \
    "wc -l $log" "$report --call $call $log" >/dev/null
python3 - "$work/time.json" <<'EOF'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
wc, tr = r[0], r[1]
for x in r:
    print(f"  {x['command']}")
    print(f"    mean {x['mean']*1000:.2f} ms  median {x['median']*1000:.2f} ms  min {x['min']*1000:.2f} ms")
print(f"  tallix-report / wc -l: mean {tr['mean']/wc['mean']:.2f}x, "
      f"median {tr['median']/wc['median']:.2f}x (target <= 4x)")
EOF

# Logs of a given size and line count: header lines padded to length.
make_log() { # path bytes lines
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, size, lines = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
head = b"Fm ON4AB To CQ >[10:00:00] "
body = size // lines - len(head) - 2
line = head + b"x" * body + b"\r\n"
with open(path, "wb") as f:
    f.write(b"Report Kest\r\n")
    block = line * 64
    for _ in range((lines - 1) // 64):
        f.write(block)
    f.write(line * ((lines - 1) % 64))
EOF
}

echo "== Peak memory (no --processed-out)"
make_log "$work/200mb.log" $((200 << 20)) 64990
make_log "$work/1gb.log" $((1 << 30)) 64999
python3 -c "import sys; open(sys.argv[1],'wb').write(b'Fm ON4AB To CQ ' + b'x' * (100 << 20))" "$work/line100mb.log"
for f in 200mb.log 1gb.log line100mb.log; do
    size=$(stat -c %s "$work/$f")
    peak_kb=$(/usr/bin/time -f %M "$report" --call "$call" "$work/$f" 2>&1 >/dev/null | tail -1)
    limit_kb=$(( (size * 5 / 4 + (64 << 20)) / 1024 ))
    verdict=$([ "$peak_kb" -le "$limit_kb" ] && echo ok || echo OVER)
    echo "  $f: $size bytes, peak $((peak_kb / 1024)) MB, limit $((limit_kb / 1024)) MB: $verdict"
done

echo "== Time of the 100 MB one-line log"
hyperfine -N --warmup 1 --runs 5 "$report --call $call $work/line100mb.log" | grep -E "Time|Range"
