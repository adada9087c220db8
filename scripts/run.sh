#!/usr/bin/env bash
# Installs what the program needs, builds it and runs it. Without a display,
# analyses the bundled demo clip with the command-line analyser instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# A build folder of its own: the tests' build has other options and would be
# rebuilt whole each time one script follows the other.
build=build-run
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBRIX_GUI=ON \
  -DTAMBRIX_TESTS=OFF -DTAMBRIX_BENCH=OFF -DTAMBRIX_SANITIZE=OFF
cmake --build "$build" -j "$(nproc)"

if [[ -x $build/tambrix && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) ]]; then
  exec "$build/tambrix"
fi
echo "No display found: analysing the bundled demo clip with tambrix-analyze instead."
# The analyser writes its logs and "tmp" in the current directory.
mkdir -p "$build/demo"
cd "$build/demo"
exec ../tambrix-analyze --shots ../../resources/demo/demo-clip.wav
