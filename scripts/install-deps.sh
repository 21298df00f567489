#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test the
# program. Packages already present are left alone.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libsqlite3-dev sqlite3 libgeographiclib-dev
    locales
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    xvfb xauth xdotool fonts-liberation desktop-file-utils time
    at-spi2-core python3-pyatspi
    lintian appstream
    dbus-daemon dunst
    python3-numpy
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
