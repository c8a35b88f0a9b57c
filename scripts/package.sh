#!/usr/bin/env bash
# Builds the game the way a player's package is built, a Release build
# without tests, benchmarks or tools (only the runtime libraries' development
# packages are needed, see README.md), and makes the Debian package
# kvr2013_<version>_amd64.deb in the build directory.
#   scripts/package.sh
# KVR_PACKAGE_BUILD picks the build directory (default build-package).
set -euo pipefail

cd "$(dirname "$0")/.."
build=${KVR_PACKAGE_BUILD:-build-package}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKVR_BUILD_TESTS=OFF -DKVR_BUILD_BENCHMARKS=OFF -DKVR_BUILD_TOOLS=OFF
cmake --build "$build"
(cd "$build" && cpack -G DEB)
ls "$build"/kvr2013_*_*.deb
