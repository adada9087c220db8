#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds on
# its seed corpus. A crash fails the run.
# Usage: scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAMBRIX_FUZZ=ON -DTAMBRIX_GUI=OFF -DTAMBRIX_TESTS=OFF -DTAMBRIX_BENCH=OFF \
  -DTAMBRIX_SANITIZE=ON
cmake --build build-fuzz -j "$(nproc)"

shopt -s nullglob
for fuzzer in build-fuzz/*_fuzz; do
  name=$(basename "$fuzzer")
  seeds=fuzz/seeds/${name%_fuzz}
  work=build-fuzz/corpus/$name
  mkdir -p "$work" "$seeds"
  # The fuzzers write logs and "tmp" in their working directory: a tmpfs
  # folder keeps those writes off the disk.
  shm=/dev/shm
  [[ -d $shm && -w $shm ]] || shm=$(pwd)/build-fuzz
  run_dir=$(mktemp -d "$shm/tambrix-$name.XXXXXX")
  echo "-- $name for ${seconds}s"
  log=$(pwd)/build-fuzz/$name.out
  if ! (cd "$run_dir" && ASAN_OPTIONS=detect_leaks=0 "$OLDPWD/$fuzzer" \
          -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -timeout=10 \
          "$OLDPWD/$work" "$OLDPWD/$seeds" >"$log" 2>&1); then
    tail -n 60 "$log"
    echo "fuzzer $name failed"
    exit 1
  fi
  rm -rf "$run_dir"
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb|Done)' \
    "$log" || tail -n 5 "$log"
done
