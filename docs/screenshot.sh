#!/usr/bin/env bash
# screenshot.sh: saves a picture of the main window over the demo cards as
# docs/main-window.png.
#
#   docs/screenshot.sh [BUILD_FOLDER]        (default: build)
#
# It builds nothing: BUILD_FOLDER/bin must hold namecards and namecards-db.
# The program runs from a temporary folder, with a demo card file made by
# `namecards-db create ... --demo`, on a virtual screen of its own (xvfb-run),
# and is ended once the picture is taken. Needs xvfb-run, xdotool and
# ImageMagick (import, convert).
set -euo pipefail
export LC_ALL=C.UTF-8

title='澄岚名片管理系统'
timeout_seconds=30
docs=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$docs")
output="$docs/main-window.png"

fail() {
    echo "screenshot.sh: $*" >&2
    exit 1
}

# Outside X, start again on a virtual screen of 1024x768.
if [[ ${1:-} != --on-screen ]]; then
    build=$(cd "${1:-$root/build}" 2>/dev/null && pwd) || fail "no build folder '${1:-$root/build}'"
    for tool in xvfb-run xdotool import convert timeout; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
    for program in namecards namecards-db; do
        [[ -x $build/bin/$program ]] || fail "$build/bin/$program has not been built"
    done
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-screen "$build"
fi
build=$2

folder=$(mktemp -d "${TMPDIR:-/tmp}/namecards-screenshot.XXXXXX")
pid=
cleanup() {
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$folder"
}
trap cleanup EXIT

cp "$build/bin/namecards" "$folder/namecards"
"$build/bin/namecards-db" create "$folder/Date/crm.mdb" --demo >/dev/null ||
    fail "namecards-db could not create the demo card file"

(cd "$folder" && QT_QPA_PLATFORM=xcb exec ./namecards) >"$folder/program.log" 2>&1 &
pid=$!

# The window, once it is mapped; give up if the program ends first.
timeout "$timeout_seconds" xdotool search --sync --onlyvisible --name "^${title}\$" \
    >"$folder/window" 2>/dev/null &
search=$!
while kill -0 "$search" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null; then
        kill "$search" 2>/dev/null || true
        cat "$folder/program.log" >&2
        fail "the program ended before its window showed"
    fi
    sleep 0.1
done
wait "$search" || fail "no window '$title' within ${timeout_seconds}s"
window=$(head -n 1 "$folder/window")
[[ -n $window ]] || fail "no window '$title' within ${timeout_seconds}s"

# Take pictures until two in a row are the same and not a plain fill: the
# window has then been drawn and has settled.
deadline=$((SECONDS + timeout_seconds))
previous="$folder/previous.png"
current="$folder/current.png"
import -window "$window" "$previous"
while :; do
    ((SECONDS < deadline)) || fail "the window did not settle within ${timeout_seconds}s"
    sleep 0.2
    import -window "$window" "$current"
    colours=$(convert "$current" -format '%k' info:)
    if ((colours > 2)) && cmp -s <(convert "$previous" rgb:-) <(convert "$current" rgb:-); then
        break
    fi
    mv "$current" "$previous"
done
mv "$current" "$output"
echo "saved $output"
