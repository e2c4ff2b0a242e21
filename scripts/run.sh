#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo card file build/bin/Date/crm.mdb
# when there is none, and starts the program. Without a display it runs the
# program under Xvfb instead, saves a screenshot of its main window and ends it.
# NAMECARDS_BUILD_DIR chooses another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${NAMECARDS_BUILD_DIR:-build}
title="澄岚名片管理系统"
timeout_seconds=30

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"

bin=$(cd "$build/bin" && pwd)
card_file="$bin/Date/crm.mdb"
if [[ ! -e $card_file ]]; then
    "$bin/namecards-db" create "$card_file" --demo
fi

if [[ ! -x $bin/namecards ]]; then
    echo "run.sh: the program $bin/namecards is not built yet; the demo card file is $card_file"
    exit 0
fi

if [[ -n ${DISPLAY:-} ]]; then
    exec "$bin/namecards"
fi

# No display: start the program under Xvfb, wait for its window, save a
# screenshot once the window has been painted, then end the program.
screenshot="$(cd "$build" && pwd)/namecards-screenshot.png"
export NAMECARDS_BIN="$bin" NAMECARDS_TITLE="$title" NAMECARDS_SHOT="$screenshot" \
    NAMECARDS_TIMEOUT="$timeout_seconds"
# shellcheck disable=SC2016 # the inner script expands its own variables
xvfb-run -a -s "-screen 0 1280x1024x24" bash -euo pipefail -c '
    export QT_QPA_PLATFORM=xcb
    "$NAMECARDS_BIN/namecards" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    window=$(timeout "$NAMECARDS_TIMEOUT" xdotool search --sync --onlyvisible \
        --name "^$NAMECARDS_TITLE\$" | head -n 1) || true
    if [[ -z $window ]]; then
        echo "run.sh: no window \"$NAMECARDS_TITLE\" within ${NAMECARDS_TIMEOUT}s" >&2
        exit 1
    fi
    # A window is mapped before it is painted: wait until it shows more than one colour.
    deadline=$((SECONDS + NAMECARDS_TIMEOUT))
    until import -window "$window" "$NAMECARDS_SHOT" 2>/dev/null &&
        (($(identify -format "%k" "$NAMECARDS_SHOT") > 1)); do
        if ((SECONDS >= deadline)); then
            echo "run.sh: the window was not painted within ${NAMECARDS_TIMEOUT}s" >&2
            exit 1
        fi
        sleep 0.2
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    trap - EXIT
'
echo "$screenshot"
