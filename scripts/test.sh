#!/usr/bin/env bash
# Builds everything and runs the whole test suite inside a private X server,
# with sound going nowhere. The end-to-end tests start the real game in it.
set -euo pipefail

cd "$(dirname "$0")/.."
bash scripts/setup.sh

export SDL_AUDIODRIVER=dummy
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build --output-on-failure "$@"
