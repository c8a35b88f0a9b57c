#!/usr/bin/env bash
# Plays every replay of the corpus through the replay verifier named on the
# command line, and checks its one output line and the SHA-256 of its trace
# against expected.txt. A replay whose run changed is named with the first
# checkpoint frame that differs, the last that still matches, and the fields
# of both at that frame.
#
#   tests/corpus/check_corpus.sh [--corpus DIR] VERIFIER...
#   tests/corpus/check_corpus.sh build/kvr2013 --headless
#   tests/corpus/check_corpus.sh qemu-aarch64 -L /usr/aarch64-linux-gnu build-aarch64/kvr2013-verify
#
# VERIFIER is run as: VERIFIER --stage S --replay FILE --hiscore H --trace TFILE
# --corpus reads expected.txt, checkpoints/ and replays/ from DIR instead of
# this script's directory. Exit status: 0 all match, 1 a run differs, 2 usage.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
corpus=$here
if [[ ${1:-} == --corpus ]]; then
  corpus=${2:?--corpus needs a directory}
  shift 2
fi
if (($# == 0)); then
  echo "usage: $0 [--corpus DIR] VERIFIER..." >&2
  exit 2
fi
verifier=("$@")

work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-corpus-XXXXXX")
trap 'rm -rf "$work"' EXIT

checked=0
failed=0
listed=" "

fail() {
  echo "FAIL $1: $2"
  failed=$((failed + 1))
}

while read -r name stage hiscore digest line; do
  [[ -z $name || $name == \#* ]] && continue
  listed+="$name "
  checked=$((checked + 1))
  replay=$corpus/replays/$name.bin
  if [[ ! -f $replay ]]; then
    fail "$name" "no replay file $replay"
    continue
  fi
  if [[ $digest == - ]]; then
    fail "$name" "no expectation yet (scripts/update_corpus.sh writes it)"
    continue
  fi
  trace=$work/$name.trace
  status=0
  "${verifier[@]}" --stage "$stage" --replay "$replay" --hiscore "$hiscore" --trace "$trace" \
    >"$work/$name.out" 2>"$work/$name.err" || status=$?
  if ((status != 0)); then
    fail "$name" "the verifier exited with status $status"
    sed 's/^/  | /' "$work/$name.err"
    continue
  fi
  actual_line=$(cat "$work/$name.out")
  actual_digest=$(sha256sum "$trace" | cut -d' ' -f1)
  if [[ $actual_line == "$line" && $actual_digest == "$digest" ]]; then
    continue
  fi
  fail "$name" "the run changed (stage $stage, hi-score $hiscore)"
  echo "  expected: $line"
  echo "  actual:   $actual_line"
  echo "  trace sha256 expected $digest"
  echo "               actual   $actual_digest"
  checkpoints=$corpus/checkpoints/$name.txt
  if [[ ! -f $checkpoints ]]; then
    echo "  no checkpoints to compare with: $checkpoints is missing"
    continue
  fi
  where=$(awk -f "$here/compare_trace.awk" "$checkpoints" "$trace")
  if [[ -n $where ]]; then
    echo "$where"
  else
    echo "  every checkpoint in $(basename "$checkpoints") matches: the trace differs between two of them"
  fi
done <"$corpus/expected.txt"

# A replay nobody expects anything of would pass unnoticed.
for replay in "$corpus"/replays/*.bin; do
  [[ -e $replay ]] || continue
  name=$(basename "$replay" .bin)
  if [[ $listed != *" $name "* ]]; then
    checked=$((checked + 1))
    fail "$name" "replays/$name.bin has no entry in expected.txt"
  fi
done

if ((failed > 0)); then
  echo "corpus: $failed of $checked replays differ (verifier: ${verifier[*]})"
  exit 1
fi
echo "corpus: all $checked replays play as expected (verifier: ${verifier[*]})"
