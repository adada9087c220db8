#!/usr/bin/env bash
# Builds a release build in build-deb/ and packs it as a Debian package with
# CPack. What goes where is said by the install rules (CMakeLists.txt and
# cmake/gui.cmake), the package's fields by cmake/package.cmake.
# Usage: scripts/package.sh   (prints the .deb's path as its last line)
set -euo pipefail
cd "$(dirname "$0")/.."

build="build-deb"
{
  scripts/install-deps.sh --package
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMBRIX_GUI=ON \
    -DTAMBRIX_TESTS=OFF -DTAMBRIX_BENCH=OFF -DTAMBRIX_FUZZ=OFF -DTAMBRIX_SANITIZE=OFF
  cmake --build "$build" -j "$(nproc)"
  rm -f "$build"/tambrix_*.deb
  (cd "$build" && cpack -G DEB)
} >&2
debs=("$(pwd)/$build"/tambrix_*.deb)
if ((${#debs[@]} != 1)) || [[ ! -f ${debs[0]} ]]; then
  echo "package.sh: expected one .deb in $build/, found: ${debs[*]}" >&2
  exit 1
fi
echo "${debs[0]}"
