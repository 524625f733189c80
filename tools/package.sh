#!/usr/bin/env bash
# Builds the Debian package of the program from a release build: volumara_<version>_<arch>.deb in
# build/, with its dependencies computed from the binaries. Install it with
#   sudo apt install ./build/volumara_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q "install ok installed" ||
    { echo "dpkg-dev is needed to compute the package's dependencies" >&2; exit 1; }
generator=()
[ -f build/CMakeCache.txt ] || generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DVOLUMARA_TESTS=OFF
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
ls -1 build/volumara_*.deb
