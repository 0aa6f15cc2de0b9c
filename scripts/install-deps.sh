#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Marovin need.
# Packages already present are not fetched again, so a second run is quick and works offline.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    qt6-multimedia-dev dbus-daemon
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev
    fonts-noto-cjk fonts-dejavu-core fonts-droid-fallback
    poppler-utils
    fairy-stockfish
    libsqlite3-dev sqlite3
    appstream
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
