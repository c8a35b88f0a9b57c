#!/usr/bin/env bash
# Runs lintian on every Debian package the packaging build made, failing on
# any error or warning (the informational tags that cannot apply to a
# package made by CPack are overridden, with the reason, in
# packaging/lintian-overrides).
#   scripts/lintian_check.sh [BUILD_DIR]   (default build-package, as scripts/package.sh makes)
set -euo pipefail

cd "$(dirname "$0")/.."
build=${1:-build-package}

shopt -s nullglob
packages=("$build"/*.deb)
if ((${#packages[@]} == 0)); then
  echo "no .deb in $build: run scripts/package.sh first" >&2
  exit 1
fi
status=0
for deb in "${packages[@]}"; do
  echo "lintian $deb"
  lintian --fail-on error,warning --info "$deb" || status=1
done
exit "$status"
