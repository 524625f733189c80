#!/usr/bin/env bash
# Installs, on Debian 12, whatever is missing: what building and running the program needs, and
# with --tests also what the test suite needs (sanitizer runtime, readers of other programs,
# X server, packaging validators, the regional locales the number tests run under).
# Usage: install-deps.sh [--tests]
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libcups2-dev
    fonts-liberation2 zlib1g-dev
)
test_packages=(
    libgtest-dev
    clang libclang-rt-14-dev
    sqlite3
    python3 python3-dbfread python3-dbf gdal-bin libdbd-xbase-perl
    xvfb xauth
    desktop-file-utils appstream
    cups printer-driver-cups-pdf poppler-utils
    locales
)
# The tests check that number text does not follow the process locale under these.
test_locales=()
if [ "${1:-}" = "--tests" ]; then
    packages+=("${test_packages[@]}")
    test_locales=(de_DE fr_FR)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

for name in "${test_locales[@]}"; do
    if ! locale -a | grep -qx "$name.utf8"; then
        echo "Generating the locale $name.UTF-8"
        "${sudo_cmd[@]}" localedef -i "$name" -c -f UTF-8 "$name.UTF-8"
    fi
done
