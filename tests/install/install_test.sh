#!/usr/bin/env bash
# Installs this build as an operator would, into temporary folders, and checks
# what lands where and that nothing else does.
#
#   install_test.sh kest BUILD_DIR      the add-on into a Kest folder; the
#                                       installed program starts there with the
#                                       launch code and finds its help document
#   install_test.sh system BUILD_DIR UI tallix-report, its chart module (UI
#                                       ON), its manual page and its completion
#                                       into a system prefix; UI is the
#                                       build's TALLIX_BUILD_UI
set -uo pipefail

mode=$1
build=$2
ui=${3:-ON}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Every file and folder below $1, relative, one a line, sorted.
tree_of() {
    (cd "$1" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
}

# expect_tree FOLDER ENTRY...: the folder holds exactly these entries.
expect_tree() {
    local folder=$1
    shift
    local want got
    want=$(printf '%s\n' "$@" | LC_ALL=C sort)
    got=$(tree_of "$folder")
    if [[ $got != "$want" ]]; then
        fail "$folder does not hold what it should (- expected, + found):"
        diff <(echo "$want") <(echo "$got") | grep '^[<>]' | sed 's/^</-/; s/^>/+/' >&2
    fi
}

# install_into PREFIX [ARGUMENT...]: cmake --install of this build; true when it
# succeeded. Its output is kept in $work/install.log.
install_into() {
    local prefix=$1
    shift
    cmake --install "$build" --prefix "$prefix" "$@" >"$work/install.log" 2>&1
}

# A Kest folder as Kest leaves it: kest.ini (line 1 ";Kest", line 4 the call)
# and a subfolder with a log. The name has a blank, as such folders often do.
make_kest_folder() {
    local folder=$1 settings_name=$2
    mkdir -p "$folder/Reports"
    printf ';Kest v3.2 settings\r\nCOM1\r\n9600\r\nPD9TLX\r\n' >"$folder/$settings_name"
    printf 'Kest report\r\nFm PD9TLX To CQ Via DIGI >[09:00:00]\r\nhello\r\n' \
        >"$folder/Reports/qso.txt"
}

kest_layout() {
    local settings_name=$1
    echo "$settings_name" Reports Reports/qso.txt tallix tallix-help.html
}

check_kest() {
    # The component, into a Kest folder.
    local kest="$work/Kest folder"
    make_kest_folder "$kest" kest.ini
    install_into "$kest" --component kest || fail "install --component kest: $(cat "$work/install.log")"
    # shellcheck disable=SC2046
    expect_tree "$kest" $(kest_layout kest.ini)
    [[ -x $kest/tallix ]] || fail "the installed tallix is not executable"
    [[ -f $kest/tallix-help.html && ! -x $kest/tallix-help.html ]] ||
        fail "the installed help document is missing or executable"
    cmp -s "$kest/tallix-help.html" "$(dirname "$0")/../../resources/help/tallix-help.html" ||
        fail "the installed help document is not the one of the sources"

    # A plain install into a folder with kest.ini (in other letter case, as
    # Kest on Windows may write it) lays out the add-on too, and nothing else.
    local plain="$work/plain kest"
    make_kest_folder "$plain" Kest.INI
    install_into "$plain" || fail "plain install into a Kest folder: $(cat "$work/install.log")"
    # shellcheck disable=SC2046
    expect_tree "$plain" $(kest_layout Kest.INI)

    # The installed program, started as Kest starts it, from another folder:
    # it must take its own folder for the Kest folder and find the help there.
    local elsewhere="$work/elsewhere"
    mkdir -p "$elsewhere"
    run_installed() {
        (cd "$elsewhere" && env QT_QPA_PLATFORM=offscreen TALLIX_QUIT_AFTER_MS=1000 \
            TALLIX_HELP_AT_START=1 QT_LOGGING_RULES='qt.qpa.*=false' \
            timeout 60 "$kest/tallix" 4KTRMN 2>"$work/stderr")
    }
    if ! run_installed; then
        fail "the installed tallix did not start and end cleanly: $(cat "$work/stderr")"
    fi
    grep -qxF "tallix: help shows $kest/tallix-help.html" "$work/stderr" ||
        fail "the installed tallix did not show its help document: $(cat "$work/stderr")"

    # Without the document beside it, the same start says so.
    rm "$kest/tallix-help.html"
    run_installed || fail "tallix without its help document did not end cleanly"
    grep -qxF "tallix: help document not found" "$work/stderr" ||
        fail "tallix without its help document did not say so: $(cat "$work/stderr")"
}

system_layout=(
    bin bin/tallix-report
    share share/man share/man/man1 share/man/man1/tallix-report.1
    share/bash-completion share/bash-completion/completions
    share/bash-completion/completions/tallix-report
    lib lib/tallix lib/tallix/tallix-report-graph.so
)
if [[ $ui == ON ]]; then
    # With Qt: the module that paints tallix-report's charts.
    system_layout+=(lib/tallix/tallix-report-chart.so)
fi

check_system() {
    local prefix="$work/usr local"
    install_into "$prefix" --component system ||
        fail "install --component system: $(cat "$work/install.log")"
    expect_tree "$prefix" "${system_layout[@]}"
    [[ -x $prefix/bin/tallix-report ]] || fail "the installed tallix-report is not executable"
    "$prefix/bin/tallix-report" --version | grep -q '^tallix-report [0-9]' ||
        fail "the installed tallix-report does not run"
    # It finds its graph module from its own folder.
    printf 'Kest log\r\nFm EF2GH To CQ Via D1* >[10:00:00]\r\n' >"$work/graph.log"
    "$prefix/bin/tallix-report" --call A --graph "$work/graph.svg" "$work/graph.log" \
        >/dev/null 2>"$work/graph.err" && grep -q '<svg' "$work/graph.svg" ||
        fail "the installed tallix-report writes no graph: $(cat "$work/graph.err")"
    if [[ $ui == ON ]]; then
        # It finds its chart module from its own folder.
        printf 'Kest log\r\nFm EF2GH To CQ >[10:00:00]\r\n' >"$work/chart.log"
        "$prefix/bin/tallix-report" --call A --chart "$work/chart.png" "$work/chart.log" \
            >/dev/null 2>"$work/chart.err" && [[ -s $work/chart.png ]] ||
            fail "the installed tallix-report writes no chart: $(cat "$work/chart.err")"
    fi

    # With the prefix's bin/ on the PATH, man finds the page as man-db finds
    # the pages of /usr/local/bin's programs.
    local page
    page=$(env -u MANPATH PATH="$prefix/bin:$PATH" man -w tallix-report 2>&1)
    [[ $page == "$prefix/share/man/man1/tallix-report.1" ]] ||
        fail "man does not find the installed page: $page"

    # The completion, sourced as bash-completion loads it, completes the command.
    bash -c 'source "$1" && complete -p tallix-report' _ \
        "$prefix/share/bash-completion/completions/tallix-report" >/dev/null ||
        fail "the installed completion does not set up tallix-report"

    # A plain install into a folder without kest.ini is the system part.
    local plain="$work/plain"
    install_into "$plain" || fail "plain install: $(cat "$work/install.log")"
    expect_tree "$plain" "${system_layout[@]}"

    # ... also when staged below DESTDIR, as packages are built.
    local stage="$work/stage"
    DESTDIR=$stage install_into /usr/local || fail "staged install: $(cat "$work/install.log")"
    expect_tree "$stage" usr usr/local "${system_layout[@]/#/usr/local/}"

    if [[ $ui == OFF ]]; then
        # Without the window there is no add-on: the component says so.
        local kest="$work/kest"
        mkdir -p "$kest"
        if install_into "$kest" --component kest; then
            fail "install --component kest succeeded in a build without the window"
        fi
        grep -q "TALLIX_BUILD_UI" "$work/install.log" ||
            fail "install --component kest without the window does not say why"
        expect_tree "$kest"
    fi
}

case $mode in
kest) check_kest ;;
system) check_system ;;
*)
    echo "usage: $0 kest|system BUILD_DIR [UI]" >&2
    exit 2
    ;;
esac

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "install ($mode): all checks passed"
