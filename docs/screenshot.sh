#!/usr/bin/env bash
# screenshot.sh: saves a picture of the main window.
#
#   docs/screenshot.sh [BUILD_FOLDER [OUTPUT [CARD_FILE]]]
#
# Defaults: build, docs/main-window.png, and a fresh file of demo cards. It
# builds nothing: BUILD_FOLDER/bin must hold namecards and namecards-db. The
# program runs from a temporary folder over a copy of the card file, on a
# virtual screen of its own (xvfb-run), and is ended once the picture is taken;
# the program-test helpers of tests/program/lib.sh do the driving.
set -euo pipefail
docs=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$docs")

if [[ ${1:-} != --on-screen ]]; then
    build=$(cd "${1:-$root/build}" 2>/dev/null && pwd) || {
        echo "screenshot.sh: no build folder '${1:-$root/build}'" >&2
        exit 1
    }
    output=$(realpath -m "${2:-$docs/main-window.png}")
    card_file=${3:+$(realpath "$3")}
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-screen "$build" "$output" "$card_file"
fi

# shellcheck source=tests/program/lib.sh
source "$root/tests/program/lib.sh"
pt_init "$2/bin"
if [[ -n $4 ]]; then
    pt_install namecards
    cp "$4" "$(pt_card_file)"
else
    pt_install namecards --demo
fi
pt_start "$PT_DIR/namecards"
pt_wait_window "澄岚名片管理系统"
pt_settled_screenshot "$3"
echo "saved $3"
