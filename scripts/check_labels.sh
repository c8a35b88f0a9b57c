#!/usr/bin/env bash
# Fails when one of the test labels selects no test in a built tree, which
# is what a label lost on its way into CTest looks like: `ctest -L proof`
# would then pass by running nothing. The GoogleTest programs list their
# tests only once built, so run this after the build. With several build
# trees a label counts the tests of all of them (scripts/test.sh builds the
# unit tests only in the sanitizer build).
#   scripts/check_labels.sh [BUILD_DIR...]   (default build)
set -euo pipefail

cd "$(dirname "$0")/.."
builds=("${@:-build}")

status=0
for label in unit proof e2e corpus packaging; do
  count=0
  for build in "${builds[@]}"; do
    in_build=$(ctest --test-dir "$build" -N -L "^${label}\$" | sed -n 's/^Total Tests: //p')
    count=$((count + ${in_build:-0}))
  done
  if [[ "${count:-0}" -eq 0 ]]; then
    echo "label $label selects no test" >&2
    status=1
  else
    echo "label $label: $count tests"
  fi
done
exit "$status"
