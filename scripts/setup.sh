#!/usr/bin/env bash
# Installs the Debian packages the game needs (only the missing ones), then
# configures and builds everything into build/. Safe to run again.
set -euo pipefail

cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libsdl2-mixer-dev libglu1-mesa-dev libgl-dev libvorbis-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps x11-utils imagemagick openbox
  clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  if [[ $(id -u) -eq 0 ]]; then
    as_root=()
  else
    as_root=(sudo)
  fi
  "${as_root[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -G Ninja -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
