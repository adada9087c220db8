#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test the program.
# Usage: scripts/install-deps.sh [--test | --package]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libxcb1-dev
  libavformat-dev libavcodec-dev libavutil-dev
  fonts-liberation2
  python3
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils
  pulseaudio pulseaudio-utils
  fonts-dejavu-core
  ffmpeg
  desktop-file-utils appstream man-db
)
# scripts/package.sh: CPack's DEB generator uses file and dpkg-shlibdeps.
package_packages=(
  dpkg-dev file
)

all=("${packages[@]}")
case "${1:-}" in
  --test) all+=("${test_packages[@]}" "${package_packages[@]}") ;;
  --package) all+=("${package_packages[@]}") ;;
esac

missing=()
for p in "${all[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=300 update -q
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends "${missing[@]}"
