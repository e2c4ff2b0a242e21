#!/usr/bin/env bash
# Installs, on Debian 12, the packages that building, running and testing
# namecards need, skipping those already installed. Uses sudo unless run as root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config      # compiler, CMake/CTest
    qt6-base-dev qt6-base-dev-tools       # Qt 6 Core, Gui, Widgets, Test; moc, uic
    qt6-qpa-plugins                       # the xcb and offscreen platforms
    libgl1-mesa-dev                       # OpenGL headers that Qt6Gui's CMake files look for
    libsqlite3-dev sqlite3                # the SQLite C library; the sqlite3 shell for program tests
    xvfb xauth                            # Xvfb and xvfb-run
    xdotool x11-utils x11-xserver-utils   # driving windows; xmessage, xmodmap for program tests
    imagemagick                           # import: screenshots
    openbox                               # a window manager, for runs that want one
    fonts-noto-cjk fonts-liberation       # Chinese and Latin fonts
)

if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
    echo "install-deps.sh: this script needs Debian's apt-get and dpkg" >&2
    exit 1
fi
if [[ -r /etc/os-release ]]; then
    # shellcheck disable=SC1091
    . /etc/os-release
    if [[ ${ID:-} != debian || ${VERSION_ID:-} != 12 ]]; then
        echo "install-deps.sh: written for Debian 12, this is ${PRETTY_NAME:-unknown}; trying anyway" >&2
    fi
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    echo "install-deps.sh: all ${#packages[@]} packages are installed"
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || {
        echo "install-deps.sh: missing ${missing[*]}; run as root or install sudo" >&2
        exit 1
    }
    sudo=(sudo)
fi
echo "install-deps.sh: installing ${missing[*]}"
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
