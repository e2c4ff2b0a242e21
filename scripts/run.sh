#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo card file build/bin/Date/crm.mdb
# when there is none, and starts the program. Without a display it runs the
# program under Xvfb instead, saves a screenshot of its main window and ends it.
# NAMECARDS_BUILD_DIR chooses another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${NAMECARDS_BUILD_DIR:-build}

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

# No display: the program runs under Xvfb over a copy of the card file, and a
# screenshot of its main window is saved (the script names the file).
docs/screenshot.sh "$build" "$build/namecards-screenshot.png" "$card_file"
