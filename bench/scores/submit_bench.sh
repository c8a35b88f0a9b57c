#!/usr/bin/env bash
# Submissions of whole 1000 m replays to kvr2013-scores against the
# verifier's own ceiling (cores / one verification's time, measured in the
# same run), with the queue bounded so the excess is answered 503.
#   bench/scores/submit_bench.sh [BUILD_DIR]    (default build/)
# KVR_BENCH_SECONDS sets the length (default 10); KVR_BENCH_CONNECTIONS the
# clients (default 16).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
seconds=${KVR_BENCH_SECONDS:-10}
connections=${KVR_BENCH_CONNECTIONS:-16}

work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-submit-bench.XXXXXX")
server=
cleanup() {
  [[ -n $server ]] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$build/kvr2013-scores" serve --listen 127.0.0.1:0 --database "sqlite:$work/scores.db" \
  --submit-rate 1000000 --read-rate 100000000 >"$work/server.out" 2>"$work/server.err" &
server=$!
for _ in $(seq 200); do grep -q '^listening ' "$work/server.out" && break; sleep 0.05; done
url=$(sed -n 's/^listening //p' "$work/server.out")
[[ -n $url ]] || { cat "$work/server.err" >&2; exit 1; }

"$build/bench/scores/scores_bench_driver" submit "${url##*:}" "$seconds" "$connections" \
  "$root/bench/data/stage0.bin" "$build/kvr2013-verify"
curl -fsS "$url/metrics" | grep -E '^kvr_scores_(verify_queue_depth|verifications_total)'
