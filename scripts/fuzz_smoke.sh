#!/usr/bin/env bash
# Builds the libFuzzer programs with clang and runs each for a short while on
# a scratch copy of its committed seed corpus (the corpus in git never grows).
# Exits non-zero when a program finds a crash, a leak, a sanitizer report or a
# broken expectation; the input that did it is left in the printed directory.
#   scripts/fuzz_smoke.sh [seconds per program, default 30]
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-30}
build=${KVR_FUZZ_BUILD:-$root/build-fuzz}
targets=(config keypad mouse fmf bmp submission request)

if ! command -v clang++ >/dev/null; then
  echo "fuzz_smoke: clang++ is needed (Debian package clang)" >&2
  exit 2
fi

cmake -S fuzz -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-fuzz-smoke.XXXXXX")
# Each program is single-threaded: KVR_FUZZ_JOBS of them run side by side
# (default 1), each still for the full time.
side_by_side=${KVR_FUZZ_JOBS:-1}
fuzz_one() {
  local target=$1
  cp -r "fuzz/corpus/$target" "$work/$target"
  mkdir -p "$work/$target-findings"
  # stdout carries only the loaders' log lines: closed to keep the run fast.
  if ! (cd "$work" && "$build/fuzz_$target" -max_total_time="$seconds" -close_fd_mask=1 \
        -print_final_stats=1 -artifact_prefix="$work/$target-findings/" "$work/$target" \
        >"$work/$target.log" 2>&1); then
    touch "$work/$target.failed"
  fi
}
echo "== ${#targets[@]} programs for ${seconds}s each, $side_by_side at a time: ${targets[*]}"
for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= side_by_side)); do
    wait -n || true
  done
  fuzz_one "$target" &
done
wait
failed=()
for target in "${targets[@]}"; do
  echo "== fuzz_$target"
  if [[ -e $work/$target.failed ]]; then
    failed+=("$target")
    tail -n 40 "$work/$target.log" >&2
  fi
  grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log" || true
done
if ((${#failed[@]} > 0)); then
  echo "fuzz_smoke: findings in ${failed[*]}; inputs and logs in $work" >&2
  exit 1
fi
rm -rf "$work"
echo "fuzz_smoke: ${#targets[@]} programs clean"
