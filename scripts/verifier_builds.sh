#!/usr/bin/env bash
# Proves a replay scores the same whatever compiled the verifier and
# whatever runs it: builds kvr2013-verify three times more, with clang++ at
# -O0, for 64-bit ARM with Debian's cross compiler and for WebAssembly with
# Emscripten, and plays the replay corpus through each (the ARM one under
# qemu-user, the WebAssembly one under node). The WebAssembly build must also
# be the same command as the clang one: the same output, files and exit
# status for a table of good and bad command lines (compare_verifiers.sh).
#   scripts/verifier_builds.sh
# KVR_CLANG_BUILD / KVR_ARM_BUILD / KVR_WEB_BUILD pick the build directories
# (build-clang-O0, build-aarch64, build-web-verify). Needs clang,
# g++-aarch64-linux-gnu, qemu-user and emscripten (scripts/setup.sh installs
# them).
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
clang_build=${KVR_CLANG_BUILD:-$root/build-clang-O0}
arm_build=${KVR_ARM_BUILD:-$root/build-aarch64}
web_build=${KVR_WEB_BUILD:-$root/build-web-verify}
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

echo "== kvr2013-verify with Emscripten, under node"
# Emscripten's optimising link runs node scripts that need Debian's node modules.
export NODE_PATH=/usr/share/nodejs
# emcmake's own emulator setting passes node a flag node 20 refuses.
emcmake cmake -S . -B "$web_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CROSSCOMPILING_EMULATOR="/usr/bin/node;--no-experimental-fetch" "${verifier_only[@]}" >/dev/null
cmake --build "$web_build" --target kvr2013-verify
web_verifier=(node --no-experimental-fetch "$web_build/kvr2013-verify.js")
bash tests/corpus/check_corpus.sh "${web_verifier[@]}"
bash tests/corpus/compare_verifiers.sh "$clang_build/kvr2013-verify" -- "${web_verifier[@]}"
