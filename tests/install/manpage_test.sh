#!/usr/bin/env bash
# The manual page of tallix-report renders without warnings, has the usual
# sections, and documents what the program's --help names: every option and
# every exit status. The completion offers exactly the options --help names.
#
#   manpage_test.sh MANPAGE TALLIX_REPORT COMPLETION
set -uo pipefail

page=$1
program=$2
completion=$3

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# groff with every warning on; -z formats without output, so only the
# warnings remain.
warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || fail "groff failed on $page"
[[ -z $warnings ]] || fail "groff warns about $page: $warnings"

# man-db, as `man tallix-report` shows it.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
rendered=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$errors")
warnings=$(cat "$errors")
[[ -z $warnings ]] || fail "man warns about $page: $warnings"
[[ -n $rendered ]] || fail "man shows nothing for $page"

for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES "SEE ALSO"; do
    grep -qx "$section" <<<"$rendered" || fail "the page has no $section section"
done

# The text of one section: from its heading to the next heading.
section_text() {
    awk -v name="$1" '/^[A-Z]/ { inside = ($0 == name); next } inside' <<<"$rendered"
}

help=$("$program" --help) || fail "$program --help failed"
mapfile -t options < <(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | LC_ALL=C sort -u)
((${#options[@]} >= 10)) || fail "found only ${#options[@]} options in --help"

# Each option heads an entry of OPTIONS (indented by seven, as man sets it).
option_section=$(section_text OPTIONS)
for option in "${options[@]}"; do
    grep -qE -- "^ {7}$option( |\$)" <<<"$option_section" ||
        fail "the page's OPTIONS do not describe $option"
done

# Each exit status --help names has its entry under EXIT STATUS.
statuses=$(sed -n '/^Exit status:/,$p' <<<"$help" | grep -oE '\b[0-9]{1,3}\b' | sort -u)
[[ -n $statuses ]] || fail "--help names no exit status"
exit_section=$(section_text "EXIT STATUS")
for status in $statuses; do
    grep -qE "^ {7}$status\$" <<<"$exit_section" || fail "EXIT STATUS does not describe $status"
done

# Completing "--" offers exactly the options of --help.
offered=$(bash -c 'source "$1"; COMP_WORDS=(tallix-report --); COMP_CWORD=1; _tallix_report
                   printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" | LC_ALL=C sort)
if [[ $offered != "$(printf '%s\n' "${options[@]}")" ]]; then
    fail "the completion's options differ from --help's (- --help, + completion):"
    diff <(printf '%s\n' "${options[@]}") <(echo "$offered") | grep '^[<>]' >&2
fi

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "manual page: all checks passed (${#options[@]} options, exit statuses $(echo $statuses))"
