#!/usr/bin/env bash
# Builds everything and runs every test: the fuzzers for a short while on
# each file format, the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the replay corpus through a clang -O0 verifier
# and an aarch64 one under emulation, lintian on the Debian packages, and the
# suite itself (unit and end-to-end) in a private X server with sound going
# nowhere. Every build
# treats a compiler warning as an error. Stops at the first failure.
set -euo pipefail

cd "$(dirname "$0")/.."
bash scripts/setup.sh -DKVR_WERROR=ON

echo "== every test label selects tests"
bash scripts/check_labels.sh build

export SDL_AUDIODRIVER=dummy

echo "== fuzzing smoke run"
bash scripts/fuzz_smoke.sh 30

echo "== the suite under the sanitizers"
bash scripts/sanitize_tests.sh

echo "== the replay corpus on a second compiler and a second processor"
bash scripts/verifier_builds.sh

echo "== the Debian packages pass lintian"
bash scripts/package.sh
bash scripts/lintian_check.sh build-package

echo "== the suite"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build --output-on-failure "$@"
