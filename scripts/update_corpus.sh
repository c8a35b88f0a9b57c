#!/usr/bin/env bash
# Rewrites the replay corpus's expectations on purpose, after a change to the
# run that was meant: plays every replay listed in tests/corpus/expected.txt
# through the verifier, writes the new trace digest and output line into
# expected.txt and the new checkpoints into tests/corpus/checkpoints/, and
# prints each change (old line -> new line, first changed checkpoint frame),
# so the change is a visible, reviewed commit. A replay whose run did not
# change leaves every file untouched.
#
#   scripts/update_corpus.sh              builds and uses build/kvr2013-verify
#   scripts/update_corpus.sh VERIFIER...  uses that verifier as it is
#   scripts/update_corpus.sh --corpus DIR [VERIFIER...]   updates a copy of the corpus in DIR
#
# To add a replay: put it in tests/corpus/replays/NAME.bin, add the line
# "NAME STAGE HISCORE - -" (with a comment line above it saying what it
# covers) to expected.txt, and run this script.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$root/tests/corpus
if [[ ${1:-} == --corpus ]]; then
  corpus=${2:?--corpus needs a directory}
  shift 2
fi
compare=$root/tests/corpus/compare_trace.awk

if (($# == 0)); then
  cmake --build "$root/build" --target kvr2013-verify >/dev/null
  set -- "$root/build/kvr2013-verify"
fi
verifier=("$@")

# A run this short keeps its whole trace, so a change is pinned to its exact
# frame; a longer one keeps every 100th line and its last one.
WHOLE_TRACE_FRAMES=600

work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-corpus-update-XXXXXX")
trap 'rm -rf "$work"' EXIT

changed=0
entries=0
listed=" "
: >"$work/expected.txt"

while IFS= read -r entry || [[ -n $entry ]]; do
  read -r name stage hiscore digest line <<<"$entry" || true
  if [[ -z ${name:-} || $name == \#* ]]; then
    printf '%s\n' "$entry" >>"$work/expected.txt"
    continue
  fi
  entries=$((entries + 1))
  listed+="$name "
  replay=$corpus/replays/$name.bin
  trace=$work/$name.trace
  if ! new_line=$("${verifier[@]}" --stage "$stage" --replay "$replay" --hiscore "$hiscore" --trace "$trace" \
    2>"$work/$name.err"); then
    echo "update_corpus: the verifier failed on $name:" >&2
    cat "$work/$name.err" >&2
    exit 1
  fi
  new_digest=$(sha256sum "$trace" | cut -d' ' -f1)
  printf '%s %s %s %s %s\n' "$name" "$stage" "$hiscore" "$new_digest" "$new_line" >>"$work/expected.txt"

  checkpoints=$corpus/checkpoints/$name.txt
  if (($(wc -l <"$trace") <= WHOLE_TRACE_FRAMES)); then
    cp "$trace" "$work/$name.checkpoints"
  else
    awk 'NR % 100 == 0 { print; kept = NR } { last = $0 } END { if (NR != kept) print last }' "$trace" \
      >"$work/$name.checkpoints"
  fi
  if [[ $new_line == "${line:-}" && $new_digest == "${digest:-}" ]] && cmp -s "$work/$name.checkpoints" "$checkpoints"; then
    continue
  fi
  changed=$((changed + 1))
  echo "$name: ${line:--} -> $new_line"
  if [[ -f $checkpoints ]]; then
    first=$(awk -v brief=1 -f "$compare" "$checkpoints" "$trace")
    echo "  first changed checkpoint frame: ${first:-none (the trace changed between checkpoints)}"
  else
    echo "  new checkpoints"
  fi
  mkdir -p "$corpus/checkpoints"
  cp "$work/$name.checkpoints" "$checkpoints"
done <"$corpus/expected.txt"

if ! cmp -s "$work/expected.txt" "$corpus/expected.txt"; then
  cp "$work/expected.txt" "$corpus/expected.txt"
fi

for checkpoints in "$corpus"/checkpoints/*.txt; do
  [[ -e $checkpoints ]] || continue
  name=$(basename "$checkpoints" .txt)
  if [[ $listed != *" $name "* ]]; then
    rm "$checkpoints"
    changed=$((changed + 1))
    echo "$name: no longer in expected.txt, its checkpoints removed"
  fi
done
unlisted=0
for replay in "$corpus"/replays/*.bin; do
  [[ -e $replay ]] || continue
  name=$(basename "$replay" .bin)
  if [[ $listed != *" $name "* ]]; then
    echo "update_corpus: replays/$name.bin has no entry in expected.txt (add \"$name STAGE HISCORE - -\")" >&2
    unlisted=$((unlisted + 1))
  fi
done

if ((changed == 0)); then
  echo "update_corpus: $entries replays, nothing changed"
else
  echo "update_corpus: $entries replays, $changed changed; review the diff of tests/corpus before committing"
fi
((unlisted == 0))
