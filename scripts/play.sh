#!/usr/bin/env bash
# Builds the game if needed and starts it from the repository root, where it
# finds resource/ and writes config.ini, run.log, replay/ and screenshots/.
# Arguments go to the game (bash scripts/play.sh --help lists them).
set -euo pipefail

cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec build/kvr2013 "$@"
