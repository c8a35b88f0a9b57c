#!/usr/bin/env bash
# Proves a replay scores the same whatever compiled the verifier and
# whatever processor runs it: builds kvr2013-verify twice more, with clang++
# at -O0 and for 64-bit ARM with Debian's cross compiler, and plays the
# replay corpus through both (the ARM one under qemu-user).
#   scripts/verifier_builds.sh
# KVR_CLANG_BUILD / KVR_ARM_BUILD pick the build directories
# (build-clang-O0, build-aarch64). Needs clang, g++-aarch64-linux-gnu and
# qemu-user (scripts/setup.sh installs them).
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
clang_build=${KVR_CLANG_BUILD:-$root/build-clang-O0}
arm_build=${KVR_ARM_BUILD:-$root/build-aarch64}
# Only the verifier: no SDL, GL or mixer, nothing but the play field.
verifier_only=(-DKVR_BUILD_GAME=OFF -DKVR_BUILD_SERVER=OFF -DKVR_BUILD_TESTS=OFF -DKVR_BUILD_BENCHMARKS=OFF -DKVR_BUILD_TOOLS=OFF
               -DKVR_WERROR=ON)

echo "== kvr2013-verify with clang++ -O0"
cmake -S . -B "$clang_build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g" "${verifier_only[@]}" >/dev/null
cmake --build "$clang_build" --target kvr2013-verify
bash tests/corpus/check_corpus.sh "$clang_build/kvr2013-verify"

echo "== kvr2013-verify for aarch64, under qemu-user"
cmake -S . -B "$arm_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${verifier_only[@]}" >/dev/null
cmake --build "$arm_build" --target kvr2013-verify
file "$arm_build/kvr2013-verify" | grep -q 'ARM aarch64' || { echo "not an aarch64 binary" >&2; exit 1; }
bash tests/corpus/check_corpus.sh qemu-aarch64 -L /usr/aarch64-linux-gnu "$arm_build/kvr2013-verify"
