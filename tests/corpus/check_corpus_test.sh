#!/usr/bin/env bash
# Tests the corpus runner itself, in a scratch copy of the corpus: it must
# pass the corpus as it is, and when a run changes it must fail naming the
# replay, the first differing checkpoint frame, the last matching one and the
# field that differs. A run is changed without touching the game: a wrapper
# around the real verifier edits the trace it writes for one replay. Then
# scripts/update_corpus.sh must take that change in, say what it was, and
# change nothing when run again.
#   tests/corpus/check_corpus_test.sh VERIFIER...
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if (($# == 0)); then
  echo "usage: $0 VERIFIER..." >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-corpus-test-XXXXXX")
trap 'rm -rf "$work"' EXIT
corpus=$work/corpus
mkdir -p "$corpus/replays"
cp -r "$here/expected.txt" "$here/checkpoints" "$corpus/"
for replay in "$here"/replays/*.bin; do ln -s "$replay" "$corpus/replays/"; done

# The real verifier, then for the replay named in $CHANGE_REPLAY one edit of its trace:
#   score FRAME  adds 1 to the score from frame FRAME on
#   cut FRAME    ends the trace before frame FRAME, as a run that ends sooner
cat >"$work/changed_verifier.sh" <<'EOF'
#!/usr/bin/env bash
set -euo pipefail
"$@"
replay="" trace=""
while (($# > 0)); do
  case $1 in
    --replay) replay=$2; shift ;;
    --trace) trace=$2; shift ;;
  esac
  shift
done
[[ $(basename "$replay" .bin) == "${CHANGE_REPLAY:-}" ]] || exit 0
awk -v mode="$CHANGE_MODE" -v frame="$CHANGE_FRAME" '
  mode == "cut" && NR >= frame { exit }
  mode == "score" && NR >= frame { $3 += 1 }
  { print }' "$trace" >"$trace.changed"
mv "$trace.changed" "$trace"
EOF
chmod +x "$work/changed_verifier.sh"

failures=0
check() {
  local what=$1 pattern=$2 output=$3
  if grep -qE -- "$pattern" <<<"$output"; then
    echo "ok: $what"
  else
    echo "FAILED: $what (no match for: $pattern)"
    failures=$((failures + 1))
  fi
}

# Runs the runner on the scratch corpus; prints its output and exit status.
run_runner() {
  local status=0 output
  output=$("$here/check_corpus.sh" --corpus "$corpus" "$@" 2>&1) || status=$?
  printf '%s\nexit status %d\n' "$output" "$status"
}

out=$(run_runner "$@")
check "the corpus as it is passes" "^corpus: all [0-9]+ replays play as expected" "$out"
check "... with exit status 0" "^exit status 0$" "$out"

# A replay whose whole trace is kept: the exact frame, and the one before it as the last match.
out=$(CHANGE_REPLAY=top_edge CHANGE_MODE=score CHANGE_FRAME=230 run_runner "$work/changed_verifier.sh" "$@")
check "a changed run fails" "^exit status 1$" "$out"
check "the changed replay is named" "^FAIL top_edge: the run changed" "$out"
check "its first differing frame is named" "first differing checkpoint: frame 230 \(last matching: frame 229\)" "$out"
check "the differing field is marked" "^ +score +[0-9]+ +[0-9]+ +<-- differs" "$out"
check "a field that did not change is not marked" "^ +energy +([0-9]+) +\1$" "$out"
check "only that replay fails" "^corpus: 1 of [0-9]+ replays differ" "$out"

# A long replay keeps every 100th line: the checkpoint at or after the change.
out=$(CHANGE_REPLAY=stage1 CHANGE_MODE=score CHANGE_FRAME=4321 run_runner "$work/changed_verifier.sh" "$@")
check "a whole-stage replay is named" "^FAIL stage1: the run changed" "$out"
check "its first differing checkpoint follows the change" \
  "first differing checkpoint: frame 4400 \(last matching: frame 4300\)" "$out"

# A run that ends sooner than it did.
out=$(CHANGE_REPLAY=stage0_autopilot CHANGE_MODE=cut CHANGE_FRAME=5000 run_runner "$work/changed_verifier.sh" "$@")
check "a run that ends sooner is named with where its checkpoints stop" \
  "first differing checkpoint: frame 5000 \(last matching: frame 4900\)" "$out"
check "... and says where it ends" "the run ends at frame 4999" "$out"

# A perturbed expectation: one digit of one expected line.
sed -i 's/^\(bottom_edge .*\) score=708 /\1 score=709 /' "$corpus/expected.txt"
out=$(run_runner "$@")
check "a changed expectation fails" "^FAIL bottom_edge: the run changed" "$out"
check "... showing the expected line" "expected: stage=2 frames=536 score=709" "$out"
cp "$here/expected.txt" "$corpus/expected.txt"

# A replay nobody expects anything of, and a verifier that cannot play.
ln -s "$here/replays/top_edge.bin" "$corpus/replays/unlisted.bin"
out=$(run_runner "$@")
check "a replay without an entry fails" "^FAIL unlisted: replays/unlisted.bin has no entry" "$out"
rm "$corpus/replays/unlisted.bin"
out=$(run_runner false)
check "a verifier that fails is reported" "^FAIL stage0: the verifier exited with status 1" "$out"

# Taking a change in on purpose.
changed_run=(env CHANGE_REPLAY=top_edge CHANGE_MODE=score CHANGE_FRAME=230 "$work/changed_verifier.sh" "$@")
out=$("$here/../../scripts/update_corpus.sh" --corpus "$corpus" "${changed_run[@]}" 2>&1)
check "the update names the changed replay with its old and new line" \
  "^top_edge: stage=1 frames=251 .* -> stage=1 frames=251 " "$out"
check "... and the first changed checkpoint frame" "first changed checkpoint frame: 230$" "$out"
check "... and nothing else" "^update_corpus: [0-9]+ replays, 1 changed" "$out"
out=$(run_runner "${changed_run[@]}")
check "the updated corpus expects the changed run" "^exit status 0$" "$out"
files_before=$(cd "$corpus" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
out=$("$here/../../scripts/update_corpus.sh" --corpus "$corpus" "${changed_run[@]}" 2>&1)
check "a second update finds nothing to change" "^update_corpus: [0-9]+ replays, nothing changed$" "$out"
files_after=$(cd "$corpus" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
if [[ $files_before == "$files_after" ]]; then echo "ok: ... and writes nothing"; else
  echo "FAILED: a second update rewrote files"
  failures=$((failures + 1))
fi

if ((failures > 0)); then
  echo "check_corpus_test: $failures checks failed"
  exit 1
fi
echo "check_corpus_test: every check passed"
