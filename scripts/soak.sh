#!/usr/bin/env bash
# Long runs that look for leaks, growth and slow frames.
#
#   scripts/soak.sh replay   The longest run a replay can hold (35998 frames of
#                            the endless stage, flown by the scripted pilot)
#                            played by the headless verifier built with ASan and
#                            UBSan; prints the verifier's line and the most
#                            walls, items, enemies and effects alive at once
#                            (from its trace). Fails on any sanitizer report.
#   scripts/soak.sh play [seconds]
#                            The real game in a private X server for 600
#                            seconds (default) of scripted play with xdotool:
#                            start a run, fly it with UP held in a rhythm, leave
#                            the results, again. Prints the resident memory at
#                            one minute and at the end, and the frame lateness
#                            counted by the game (KVR_FRAME_STATS=1).
# KVR_ASAN_BUILD / KVR_BUILD pick the build directories (build-asan, build).
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
mode=${1:-replay}

soak_replay() {
  local build=${KVR_ASAN_BUILD:-$root/build-asan}
  # The same configuration as scripts/sanitize_tests.sh, so the two share one build.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVR_SANITIZE=ON \
    -DKVR_BUILD_TESTS=ON -DKVR_BUILD_BENCHMARKS=OFF -DKVR_BUILD_TOOLS=ON >/dev/null
  cmake --build "$build" --target kvr2013
  local work
  work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-soak.XXXXXX")
  export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$root/tests/proof/lsan_suppressions.txt
  # Flown by bench/make_pilot_replays (a normal build): make_pilot_replays bench/data 3
  local replay=bench/data/stage3.bin
  echo "soak: $(($(stat -c %s "$replay") / 24)) records in $replay"
  /usr/bin/time -f "soak: %e s, peak RSS %M KiB" \
    "$build/kvr2013" --headless --stage 3 --replay "$replay" --trace "$work/trace.txt"
  # Trace fields 12..15: live walls, items, enemies, effects after each update.
  awk '{ for (i = 12; i <= 15; ++i) if ($i > most[i]) most[i] = $i }
       END { printf "soak: most alive at once: walls %d, items %d, enemies %d, effects %d (of 1200, 20, 20, 200) over %d updates\n",
             most[12], most[13], most[14], most[15], NR }' "$work/trace.txt"
  rm -rf "$work"
}

soak_play() {
  local seconds=${2:-600}
  local build=${KVR_BUILD:-$root/build}
  # The same options as scripts/setup.sh, so both keep one build/.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKVR_BUILD_TESTS=ON -DKVR_BUILD_BENCHMARKS=ON -DKVR_BUILD_TOOLS=ON >/dev/null
  cmake --build "$build" --target kvr2013
  local work
  work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-play.XXXXXX")
  ln -s "$root/resource" "$work/resource"
  mkdir "$work/replay"
  cat >"$work/drive.sh" <<'DRIVE'
set -u
cd "$1"
seconds=$2
KVR_FRAME_STATS=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11 "$3" >game.stdout 2>game.stderr &
game=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --name '^KVR2013$' 2>/dev/null | head -n1) && [[ -n $window ]] && break
  sleep 0.1
done
[[ -n $window ]] || { echo "no game window" >&2; kill $game; exit 1; }
xdotool windowfocus --sync "$window"
tap() { xdotool keydown --window "$window" "$1"; sleep 0.1; xdotool keyup --window "$window" "$1"; sleep 0.1; }
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$game/status"; }
start=$SECONDS
rss_1min=
runs=0
while (( SECONDS - start < seconds )); do
  tap z                     # past the logo, or out of the results
  sleep 0.5
  tap Up                    # start a run from the title
  runs=$((runs + 1))
  sleep 3.2                 # the countdown
  for _ in $(seq 30); do    # about 20 seconds of flight
    xdotool keydown --window "$window" Up; sleep 0.25
    xdotool keyup --window "$window" Up; sleep 0.4
    if [[ -z $rss_1min ]] && (( SECONDS - start >= 60 )); then rss_1min=$(rss); fi
  done
  sleep 2.5                 # the results screen accepts a key after two seconds
  tap z
  sleep 0.5
  if [[ -z $rss_1min ]] && (( SECONDS - start >= 60 )); then rss_1min=$(rss); fi
done
rss_end=$(rss)
tap Escape
wait $game
echo "play: $runs runs in $((SECONDS - start)) s; VmRSS at 1 min ${rss_1min} KiB, at the end ${rss_end} KiB"
grep frame-stats game.stderr || true
DRIVE
  xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/drive.sh" "$work" "$seconds" "$build/kvr2013"
  echo "play: log and files in $work"
}

case $mode in
  replay) soak_replay ;;
  play) soak_play "$@" ;;
  *) echo "usage: scripts/soak.sh replay | play [seconds]" >&2; exit 2 ;;
esac
