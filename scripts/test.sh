#!/usr/bin/env bash
# Builds everything and runs every test: the fuzzers for a short while on
# each file format, the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the replay corpus through a clang -O0 verifier,
# an aarch64 one under emulation and an Emscripten one under node, lintian on the Debian packages, and
# the end-to-end, packaging and corpus tests of the plain build in a private
# X server with sound going nowhere. Every build treats a compiler warning as
# an error. Stops at the first failure; prints each stage's time at the end.
#
# The unit test programs are compiled and run once, in the sanitizer build:
# the plain build (build/) leaves them out here. scripts/setup.sh alone
# builds them into build/ again for a developer's `ctest --test-dir build`.
set -euo pipefail

cd "$(dirname "$0")/.."

stage_times=()
stage_started=$SECONDS
stage_name=""
stage() {
  if [[ -n $stage_name ]]; then
    stage_times+=("$(printf '%5ds  %s' $((SECONDS - stage_started)) "$stage_name")")
  fi
  stage_name=$1
  stage_started=$SECONDS
  [[ -n $stage_name ]] && echo "== $stage_name"
  return 0
}
report_stage_times() {
  stage ""
  echo "== stage times"
  printf '%s\n' "${stage_times[@]}"
  echo "$(printf '%5ds' "$SECONDS")  in all"
}
trap report_stage_times EXIT

stage "packages and the plain build"
bash scripts/setup.sh -DKVR_WERROR=ON -DKVR_BUILD_UNIT_TESTS=OFF

export SDL_AUDIODRIVER=dummy
jobs=$(nproc)

stage "the page tests' browser driver"
(cd tests/pages && npm ci --silent --no-audit --no-fund)

stage "fuzzing smoke run"
KVR_FUZZ_JOBS=$jobs bash scripts/fuzz_smoke.sh 30

stage "the unit tests under the sanitizers"
bash scripts/sanitize_tests.sh -j "$jobs"

stage "every test label selects tests"
bash scripts/check_labels.sh build "${KVR_ASAN_BUILD:-build-asan}"

stage "the replay corpus on a second compiler, a second processor and under node"
bash scripts/verifier_builds.sh

stage "the Debian packages pass lintian"
bash scripts/package.sh
bash scripts/lintian_check.sh build-package

# End-to-end tests hold the X server's keyboard one at a time (RUN_SERIAL);
# the others run beside them.
stage "the end-to-end, packaging and corpus tests"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build --output-on-failure -j "$jobs" "$@"
