# shellcheck shell=bash disable=SC2034 # the PT_ variables are read by the test scripts
# lib.sh: helpers for program tests, sourced by each test script.
#
# A program test drives a real executable: it copies the executable into a
# temporary folder with Date/crm.mdb beside it, starts it under X (the script
# itself runs under `xvfb-run -a`, see CMakeLists.txt), drives it with xdotool
# and checks the card file with sqlite3, window titles and the exit status.
# Nothing waits on a fixed time: every wait polls a condition until a bound
# ($PT_TIMEOUT seconds unless given).
#
#   source "$(dirname "$0")/lib.sh"
#   pt_init "$1"                        # $1: folder of the built executables
#   pt_install namecards --demo         # $PT_DIR/namecards + $PT_DIR/Date/crm.mdb
#   pt_start "$PT_DIR/namecards"
#   pt_wait_window "澄岚名片管理系统"
#   pt_focus; pt_type "张三"; pt_key Return
#   pt_expect_eq "1" "$(pt_sql "select count(*) from Dept where Name='张三'")" "card saved"
#
# Functions:
#   pt_init BIN_DIR           Check the tools, make the temporary folder $PT_DIR
#                             (removed at exit unless PT_KEEP=1), remember
#                             BIN_DIR as $PT_BIN; at exit end a started program
#                             that still runs.
#   pt_install [NAME] [--demo]
#                             Copy $PT_BIN/NAME into $PT_DIR (no NAME: copy
#                             nothing) and create $PT_DIR/Date/crm.mdb with
#                             $PT_BIN/namecards-db (empty, or with --demo the
#                             demo cards).
#   pt_card_file              Print the path of the card file.
#   pt_start CMD [ARG...]     Start CMD in the background (working folder
#                             $PT_DIR, output to $PT_DIR/program.log); sets PT_PID.
#   pt_wait_window TITLE [SECONDS]
#                             Wait until a visible window titled exactly TITLE
#                             exists; sets PT_WINDOW to its id. Fails at once if
#                             the started program ends first.
#   pt_window_title [WINDOW]  Print the title of WINDOW (default $PT_WINDOW).
#   pt_focus [WINDOW]         Give WINDOW (default $PT_WINDOW) the keyboard
#                             focus and wait until it has it (there is no window
#                             manager under Xvfb, so this is needed before typing).
#   pt_type TEXT              Type TEXT into the focused window, any
#                             characters ("\n" is Return, "\t" Tab). Characters
#                             beyond ASCII are first bound to spare keycodes,
#                             once per test, so that the keyboard map stays the
#                             same while keys are sent (xdotool's own remapping
#                             per character loses characters in Qt programs).
#   pt_key KEY...             Press keys, xdotool names: Return, Tab, alt+n, ...
#   pt_sql SQL                Run SQL on the card file with sqlite3 and print
#                             the result: columns separated by "|", NULL as <NULL>.
#   pt_wait_until SECONDS CMD [ARG...]
#                             Run CMD until it succeeds; fail after SECONDS.
#   pt_wait_exit [SECONDS]    Wait for the started program to end; sets
#                             PT_STATUS to its exit status.
#   pt_screenshot FILE [WINDOW]
#                             Save a PNG of WINDOW (default: the whole screen).
#   pt_settled_screenshot FILE [WINDOW]
#                             Save a PNG of WINDOW (default $PT_WINDOW) once it
#                             has been painted and settled: two pictures in a
#                             row the same and more than a plain fill.
#   pt_expect_eq EXPECTED ACTUAL [WHAT]
#                             Fail unless the two texts are equal.
#   pt_fail MESSAGE           Print MESSAGE, save a screenshot of the screen to
#                             $PT_ARTIFACTS (default: the working folder) when
#                             there is a display, and exit 1.

set -euo pipefail
export LC_ALL=C.UTF-8
export QT_QPA_PLATFORM=xcb

PT_TIMEOUT=${PT_TIMEOUT:-30}
PT_NAME=$(basename "${0%.sh}")
PT_DIR=
PT_BIN=
PT_PID=
PT_WINDOW=
PT_STATUS=
declare -gA _PT_BOUND=() # keysym -> keycode bound by pt_type
_PT_SPARE=()             # keycodes still free for pt_type

pt_fail() {
    echo "FAIL: $PT_NAME: $*" >&2
    if [[ -n ${DISPLAY:-} ]] && command -v import >/dev/null; then
        local shot="${PT_ARTIFACTS:-$PWD}/$PT_NAME-failure.png"
        if import -window root "$shot" 2>/dev/null; then
            echo "screen at failure: $shot" >&2
        fi
    fi
    if [[ -n $PT_DIR && -s $PT_DIR/program.log ]]; then
        echo "--- program output ---" >&2
        cat "$PT_DIR/program.log" >&2
    fi
    exit 1
}

_pt_cleanup() {
    if [[ -n $PT_PID ]] && kill -0 "$PT_PID" 2>/dev/null; then
        kill "$PT_PID" 2>/dev/null || true
        wait "$PT_PID" 2>/dev/null || true
    fi
    if [[ -n $PT_DIR && ${PT_KEEP:-0} != 1 ]]; then
        rm -rf "$PT_DIR"
    elif [[ -n $PT_DIR ]]; then
        echo "kept $PT_DIR" >&2
    fi
}

pt_init() {
    [[ $# -eq 1 && -d $1 ]] || pt_fail "pt_init needs the folder of the built executables (got '${1:-}')"
    PT_BIN=$(cd "$1" && pwd)
    local tool
    for tool in sqlite3 xdotool xmodmap timeout; do
        command -v "$tool" >/dev/null || pt_fail "$tool is not installed (scripts/install-deps.sh)"
    done
    PT_DIR=$(mktemp -d "${TMPDIR:-/tmp}/namecards-$PT_NAME.XXXXXX")
    trap _pt_cleanup EXIT
}

pt_install() {
    local name='' demo=()
    while [[ $# -gt 0 ]]; do
        case $1 in
            --demo) demo=(--demo) ;;
            *) name=$1 ;;
        esac
        shift
    done
    if [[ -n $name ]]; then
        [[ -x $PT_BIN/$name ]] || pt_fail "$PT_BIN/$name has not been built"
        cp "$PT_BIN/$name" "$PT_DIR/$name"
    fi
    "$PT_BIN/namecards-db" create "$PT_DIR/Date/crm.mdb" "${demo[@]}" >/dev/null ||
        pt_fail "namecards-db could not create the card file"
}

pt_card_file() {
    echo "$PT_DIR/Date/crm.mdb"
}

pt_start() {
    [[ -z $PT_PID ]] || pt_fail "pt_start: a program is already running ($PT_PID)"
    (cd "$PT_DIR" && exec "$@") >"$PT_DIR/program.log" 2>&1 &
    PT_PID=$!
}

# The title as an exact extended regular expression.
_pt_title_pattern() {
    # shellcheck disable=SC2016 # a sed program, not shell text
    printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$(){}?+|]/\\&/g')"
}

pt_wait_window() {
    local title=$1 seconds=${2:-$PT_TIMEOUT}
    local found="$PT_DIR/.window-search"
    timeout "$seconds" xdotool search --sync --onlyvisible --name "$(_pt_title_pattern "$title")" \
        >"$found" 2>/dev/null &
    local search=$!
    while kill -0 "$search" 2>/dev/null; do
        if [[ -n $PT_PID ]] && ! kill -0 "$PT_PID" 2>/dev/null; then
            kill "$search" 2>/dev/null || true
            wait "$search" 2>/dev/null || true
            pt_fail "the program ended before a window '$title' showed"
        fi
        sleep 0.1
    done
    wait "$search" || pt_fail "no window '$title' within ${seconds}s"
    PT_WINDOW=$(head -n 1 "$found")
    [[ -n $PT_WINDOW ]] || pt_fail "no window '$title' within ${seconds}s"
}

pt_window_title() {
    xdotool getwindowname "${1:-$PT_WINDOW}"
}

pt_focus() {
    local window=${1:-$PT_WINDOW}
    [[ -n $window ]] || pt_fail "pt_focus: no window"
    timeout "$PT_TIMEOUT" xdotool windowfocus --sync "$window" ||
        pt_fail "window $window did not take the focus"
}

# Binds each keysym not bound yet to a keycode that the tests never press:
# one without symbols or one of the multimedia keys.
_pt_bind_keysyms() {
    local keysym expressions=()
    if [[ ${#_PT_BOUND[@]} -eq 0 && ${#_PT_SPARE[@]} -eq 0 ]]; then
        # The last free keycode stays free for xdotool.
        mapfile -t _PT_SPARE < <(xmodmap -pke |
            awk '$2 > 8 && (NF == 3 || $4 ~ /^XF86/) { print $2 }' | head -n -1)
    fi
    for keysym in "$@"; do
        [[ -z ${_PT_BOUND[$keysym]:-} ]] || continue
        [[ ${#_PT_SPARE[@]} -gt 0 ]] ||
            pt_fail "pt_type: more distinct characters than spare keycodes (${#_PT_BOUND[@]})"
        expressions+=(-e "keycode ${_PT_SPARE[0]} = $keysym $keysym")
        _PT_BOUND[$keysym]=${_PT_SPARE[0]}
        _PT_SPARE=("${_PT_SPARE[@]:1}")
    done
    [[ ${#expressions[@]} -eq 0 ]] || xmodmap "${expressions[@]}" || pt_fail "xmodmap failed"
}

pt_type() {
    local text=$1 keys=() unbound=() ch keysym i
    for ((i = 0; i < ${#text}; i++)); do
        ch=${text:i:1}
        case $ch in
            $'\n') keys+=(Return) ;;
            $'\t') keys+=(Tab) ;;
            *)
                printf -v keysym 'U%04X' "'$ch"
                ((16#${keysym#U} >= 0x20)) || pt_fail "pt_type: cannot type the control character $keysym"
                ((16#${keysym#U} < 0x7F)) || unbound+=("$keysym")
                keys+=("$keysym")
                ;;
        esac
    done
    [[ ${#keys[@]} -gt 0 ]] || return 0
    [[ ${#unbound[@]} -eq 0 ]] || _pt_bind_keysyms "${unbound[@]}"
    xdotool key --delay 20 -- "${keys[@]}"
}

pt_key() {
    xdotool key --delay 20 -- "$@"
}

pt_sql() {
    sqlite3 -batch -noheader -nullvalue '<NULL>' -cmd '.timeout 5000' "$(pt_card_file)" "$1"
}

pt_wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || pt_fail "still not true after ${seconds}s: $*"
        sleep 0.1
    done
}

pt_wait_exit() {
    local seconds=${1:-$PT_TIMEOUT}
    [[ -n $PT_PID ]] || pt_fail "pt_wait_exit: no program was started"
    local deadline=$((SECONDS + seconds))
    while kill -0 "$PT_PID" 2>/dev/null; do
        ((SECONDS < deadline)) || pt_fail "the program did not end within ${seconds}s"
        sleep 0.1
    done
    PT_STATUS=0
    wait "$PT_PID" || PT_STATUS=$?
    PT_PID=
}

pt_screenshot() {
    local file=$1 window=${2:-root}
    import -window "$window" "$file" || pt_fail "could not save a screenshot to $file"
}

pt_settled_screenshot() {
    local file=$1 window=${2:-$PT_WINDOW}
    local previous="$PT_DIR/.previous.png" current="$PT_DIR/.current.png"
    local deadline=$((SECONDS + PT_TIMEOUT)) colours
    pt_screenshot "$previous" "$window"
    while :; do
        ((SECONDS < deadline)) || pt_fail "the window did not settle within ${PT_TIMEOUT}s"
        sleep 0.2
        pt_screenshot "$current" "$window"
        colours=$(convert "$current" -format '%k' info:)
        if ((colours > 2)) && cmp -s <(convert "$previous" rgb:-) <(convert "$current" rgb:-); then
            break
        fi
        mv "$current" "$previous"
    done
    mv "$current" "$file"
}

pt_expect_eq() {
    local expected=$1 actual=$2 what=${3:-value}
    [[ $expected == "$actual" ]] || pt_fail "$what: expected '$expected', got '$actual'"
}
