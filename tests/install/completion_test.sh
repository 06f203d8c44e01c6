#!/usr/bin/env bash
# tallix-report's bash completion, case by case: the words on the line and the
# completions expected, in a folder with a few files.
#
#   completion_test.sh COMPLETION
set -uo pipefail

completion=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch daily.log chart.svg OLD.PNG notes.txt -- -odd.log
mkdir charts

failures=0

# complete_case NAME EXPECTED WORD...: completing the last word of
# `tallix-report WORD...` offers EXPECTED (space-separated, in any order).
complete_case() {
    local name=$1 expected=$2
    shift 2
    local got
    got=$(bash -c 'source "$1"; shift; COMP_WORDS=(tallix-report "$@"); COMP_CWORD=$#
                   _tallix_report; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@" |
        sed '/^$/d' | LC_ALL=C sort | tr '\n' ' ')
    expected=$(tr ' ' '\n' <<<"$expected" | sed '/^$/d' | LC_ALL=C sort | tr '\n' ' ')
    if [[ $got != "$expected" ]]; then
        echo "FAIL: $name: 'tallix-report $*' offers [$got], expected [$expected]" >&2
        failures=$((failures + 1))
    fi
}

# name | expected | words (the last one is being completed)
complete_case "option prefix" "--sort --stations" --s
complete_case "options given are not offered again" "--call --chart --csv" --json --c
complete_case "sort orders" "last first call count" --sort ""
complete_case "sort order after =" "call count" --sort = c
complete_case "sort order right after =" "last first call count" --sort =
complete_case "chart: folders and pictures, any case" "charts chart.svg OLD.PNG" --chart ""
complete_case "chart after =" "charts chart.svg" --chart = c
complete_case "call sign: nothing" "" --call ""
complete_case "processed text: any file" "daily.log" --processed-out d
complete_case "the file" "charts chart.svg daily.log notes.txt OLD.PNG -odd.log" --json ""
complete_case "after --, a dash begins a file" "-odd.log" -- -
complete_case "after --help, nothing" "" --help ""

if ((failures > 0)); then
    echo "$failures case(s) failed" >&2
    exit 1
fi
echo "completion: all cases passed"
