#!/usr/bin/env bash
# Runs the timing programs and prints their figures: the play field's frame
# with every pool full, the headless verifier on whole 1000/2000/3000 m runs
# and on the longest endless run, drawing a busy frame with Mesa's software
# renderer at 640x480 and 1280x960, the frames of a real replay in a 640x480
# window and full screen at 1920x1080 (one process, a window manager carrying
# full screen out), the replay theatre at x8 and the ghost, start-up to the
# first presented frame, and the peak memory of the game and of the
# verifier. Figures depend on the machine and how busy it is;
# docs/performance.md says what we measured.
#   scripts/bench.sh [verifier runs per replay, default 20]
# KVR_BUILD picks the build directory (default build).
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-20}
build=${KVR_BUILD:-$root/build}
export SDL_AUDIODRIVER=dummy
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

# The same options as scripts/setup.sh, so both keep one build/.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKVR_BUILD_TESTS=ON -DKVR_BUILD_BENCHMARKS=ON -DKVR_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" --target kvr2013 sim_frame_time busy_frame_cpu startup_time theatre_x8_cpu ghost_cpu >/dev/null

echo "== play field: one PLAY frame, every pool full"
"$build/bench/sim_frame_time" 20000 2>/dev/null

echo "== headless verifier, whole process, $runs runs per replay"
for stage in 0 1 2 3; do
  replay=bench/data/stage$stage.bin
  line=$("$build/kvr2013" --headless --stage "$stage" --replay "$replay" 2>/dev/null)
  frames=$(sed -n 's/.* frames=\([0-9]*\) .*/\1/p' <<<"$line")
  times=()
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$build/kvr2013" --headless --stage "$stage" --replay "$replay" >/dev/null 2>&1
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  fastest=$(printf '%s\n' "${times[@]}" | sort -n | head -n1)
  awk -v line="$line" -v m="$median" -v f="$fastest" -v n="$frames" 'BEGIN {
    printf "%s\n  wall time median %.1f ms (fastest %.1f ms); %d frames = %.0f s of play: %.0fx real time\n",
           line, m / 1000, f / 1000, n, n * 0.016, n * 16000 / m }'
done

echo "== drawing a busy frame (Mesa software renderer under Xvfb)"
"${xvfb[@]}" "$build/bench/busy_frame_cpu" 640 480 300 2>/dev/null | grep busy
"${xvfb[@]}" "$build/bench/busy_frame_cpu" 1280 960 300 2>/dev/null | grep busy
"${xvfb[@]}" "$build/bench/busy_frame_cpu" --replay bench/data/stage0.bin 0 640 480 2>/dev/null | grep replay
"${xvfb[@]}" "$build/bench/busy_frame_cpu" --replay bench/data/stage0.bin 0 1280 960 2>/dev/null | grep replay

echo "== a real replay in a 640x480 window, then full screen at 1920x1080"
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done
  "$1" --window-and-full-screen bench/data/stage0.bin 0 2>/dev/null | grep -E "^replay|^full screen"
  kill $wm' _ "$build/bench/busy_frame_cpu"

echo "== the replay theatre at x8 over whole replays, and its jumps"
"${xvfb[@]}" "$build/bench/theatre_x8_cpu" 2>&1 >/dev/null | grep -E "^(theatre|opening)"
"$build/bench/theatre_x8_cpu" --headless 2>&1 >/dev/null | grep -E "^(theatre|opening)"
"${xvfb[@]}" "$build/bench/theatre_x8_cpu" bench/data/stage3.bin 3 2>&1 >/dev/null | grep -E "^(theatre|opening)"

echo "== the ghost per frame over whole stages"
"${xvfb[@]}" "$build/bench/ghost_cpu" 0 1 2>&1 >/dev/null | grep "^stage"

echo "== start-up to the first presented frame"
"${xvfb[@]}" "$build/bench/startup_time" 20 2>/dev/null | tail -n1

echo "== peak memory (maximum resident set)"
work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-bench.XXXXXX")
ln -s "$root/resource" "$work/resource"
(cd "$work" && "${xvfb[@]}" /usr/bin/time -f "game, 300 frames of logo and title: %M KiB" \
  "$build/kvr2013" --frames 300 >/dev/null 2>"$work/time.txt") || true
grep KiB "$work/time.txt"
/usr/bin/time -f "verifier, 3000 m replay: %M KiB" \
  "$build/kvr2013" --headless --stage 2 --replay bench/data/stage2.bin 2>&1 >/dev/null | grep KiB
rm -rf "$work"
