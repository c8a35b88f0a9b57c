#!/usr/bin/env bash
# Reading one stage table of 100 entries from kvr2013-scores, beside nginx
# serving the same JSON as a static file (the floor for an HTTP answer on
# this machine): requests per second and p99 latency at 64 and 256
# connections, on loopback, each run bounded in time.
#   bench/scores/read_table_bench.sh [BUILD_DIR]    (default build/)
# KVR_BENCH_SECONDS sets each wrk run's length (default 10). Needs wrk and
# nginx (Debian's wrk, nginx-light).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
seconds=${KVR_BENCH_SECONDS:-10}
scores=$build/kvr2013-scores
for tool in wrk nginx curl; do
  command -v "$tool" >/dev/null || { echo "read_table_bench: $tool is needed" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-read-bench.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server, with limits that stay out of the way of the measurement.
"$scores" serve --listen 127.0.0.1:0 --database "sqlite:$work/scores.db" --threads 2 \
  --submit-rate 1000000 --read-rate 100000000 >"$work/server.out" 2>"$work/server.err" &
pids+=($!)
for _ in $(seq 200); do grep -q '^listening ' "$work/server.out" && break; sleep 0.05; done
url=$(sed -n 's/^listening //p' "$work/server.out")
[[ -n $url ]] || { cat "$work/server.err" >&2; exit 1; }

# 100 entries on stage 0: 100 players, each the opening of the pilot's
# 1000 m run cut at a different length (each a different run).
port=${url##*:}
"$build/bench/scores/scores_bench_driver" load "$port" 100 "$root/bench/data/stage0.bin"
table=$url/api/v1/stages/0/scores?limit=100
curl -fsS "$table" >"$work/table.json"
entries=$(grep -o '"rank"' "$work/table.json" | wc -l)
echo "stage table: $entries entries, $(wc -c <"$work/table.json") bytes"

# nginx serving the same bytes from a file.
nginx_port=$((20000 + RANDOM % 20000))
chmod 755 "$work"
mkdir -p "$work/nginx/html"
cp "$work/table.json" "$work/nginx/html/table.json"
cat >"$work/nginx/nginx.conf" <<CONF
daemon off;
worker_processes 2;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 4096; }
http {
  access_log off;
  default_type application/json;
  client_body_temp_path $work/nginx; proxy_temp_path $work/nginx; fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx; scgi_temp_path $work/nginx;
  server { listen 127.0.0.1:$nginx_port; root $work/nginx/html; }
}
CONF
nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" &
pids+=($!)
for _ in $(seq 200); do curl -fsS "http://127.0.0.1:$nginx_port/table.json" >/dev/null 2>&1 && break; sleep 0.05; done

measure() {  # name url connections
  local out rps p99
  out=$(wrk -t2 -c"$3" -d"${seconds}s" --latency "$2")
  rps=$(awk '/^Requests\/sec/ {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  errors=$(awk '/Non-2xx|Socket errors/ {print}' <<<"$out" | tr '\n' ' ')
  printf '%-16s %5s conns  %10s req/s  p99 %8s  %s\n' "$1" "$3" "$rps" "$p99" "$errors"
}
for connections in 64 256; do
  measure "kvr2013-scores" "$table" "$connections"
  measure "nginx static" "http://127.0.0.1:$nginx_port/table.json" "$connections"
done
