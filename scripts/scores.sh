#!/usr/bin/env bash
# Builds everything if needed and starts the world score server, by default
# on http://127.0.0.1:8080/ with SQLite in ~/.local/share/kvr2013-scores/.
# Arguments go to `kvr2013-scores serve` (bash scripts/scores.sh --help).
set -euo pipefail

cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec build/kvr2013-scores serve "$@"
