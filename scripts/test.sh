#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test
# (Qt tests offscreen, program tests under Xvfb). Exits with ctest's status.
# NAMECARDS_BUILD_DIR chooses another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${NAMECARDS_BUILD_DIR:-build}
scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNAMECARDS_WERROR=ON
cmake --build "$build" -j "$(nproc)"
cd "$build"
status=0
ctest --output-on-failure || status=$?
exit "$status"
