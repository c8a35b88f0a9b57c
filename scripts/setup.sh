#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need (only the missing
# ones), then configures and builds everything into build/. Safe to run again.
# (A player's build needs fewer; see README.md, Install.) Arguments go to
# CMake as they are: scripts/test.sh passes -DKVR_WERROR=ON.
set -euo pipefail

cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev libglu1-mesa-dev libgl-dev libvorbis-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsodium-dev libcurl4-openssl-dev
  libsqlite3-dev libpq-dev libboost-dev nlohmann-json3-dev postgresql-15 postgresql-common
  wrk nginx-light
  xvfb xauth xdotool x11-apps x11-utils imagemagick openbox
  clang libclang-rt-14-dev
  dpkg-dev desktop-file-utils appstream man-db groff-base
  g++-aarch64-linux-gnu qemu-user file emscripten
  strace lintian
  nodejs chromium
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
    missing+=("$package")
  fi
done
# Debian's npm comes apart from nodejs; some nodejs packages carry their own
# (and conflict with Debian's), so it is wanted only when the command is missing.
if ! command -v npm >/dev/null; then
  missing+=(npm)
fi

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

# The developer's build: the game with its tests, benchmarks and asset tools.
cmake -G Ninja -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKVR_BUILD_TESTS=ON -DKVR_BUILD_UNIT_TESTS=ON -DKVR_BUILD_BENCHMARKS=ON -DKVR_BUILD_TOOLS=ON "$@"
cmake --build build
