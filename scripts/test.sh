#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs every test: the
# normal build, the Debian package (installed, checked and removed again), a
# build under AddressSanitizer + UndefinedBehaviorSanitizer, and a short run of
# each fuzzer.
# Usage: scripts/test.sh            (TAMBRIX_FUZZ_SECONDS=20 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh --test

jobs=$(nproc)
export QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-120000}

# Services the tests use (virtual X server, sound server) are started by
# scripts/test-services.sh and stopped when this script ends.
# shellcheck source=scripts/test-services.sh
source scripts/test-services.sh
trap StopTestServices EXIT
StartTestServices

echo "== normal build"
# scripts/run.sh builds in build-run/, so neither rebuilds the other's folder.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBRIX_GUI=ON \
  -DTAMBRIX_TESTS=ON -DTAMBRIX_BENCH=ON -DTAMBRIX_SANITIZE=OFF
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure --no-tests=error -j "$jobs")

echo "== Debian package: built in build-deb/, installed, checked and removed again"
scripts/check-package.sh

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAMBRIX_SANITIZE=ON \
  -DTAMBRIX_GUI=ON -DTAMBRIX_TESTS=ON -DTAMBRIX_BENCH=OFF
cmake --build build-asan -j "$jobs"
(cd build-asan && ctest --output-on-failure --no-tests=error -j "$jobs")

echo "== fuzzers"
scripts/fuzz.sh "${TAMBRIX_FUZZ_SECONDS:-20}"

echo "== all tests passed"
