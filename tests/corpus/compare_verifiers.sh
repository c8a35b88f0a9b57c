#!/usr/bin/env bash
# Runs one table of command lines through two builds of the replay verifier
# and fails on any difference in what they print on stdout and stderr, their
# exit status, or the trace and log files they write: another build must be
# the same command, not only play the same runs. Each row names the status the
# reference must give too, so two builds that go wrong alike do not pass.
#
#   tests/corpus/compare_verifiers.sh REFERENCE -- VERIFIER...
#   tests/corpus/compare_verifiers.sh build/kvr2013-verify -- node build-web-verify/kvr2013-verify.js
#
# Exit status: 0 every row the same, 1 a row differs, 2 usage.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if (($# < 3)) || [[ $2 != -- ]]; then
  echo "usage: $0 REFERENCE -- VERIFIER..." >&2
  exit 2
fi
reference=("$1")
shift 2
other=("$@")

work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"
# Four bytes: too short for one record of a replay.
printf 'KVR\n' >"$work/not_a_replay.bin"

# STATUS ARGUMENTS. In the arguments @REPLAY@ is a corpus replay that flies to
# the finish, @TORN@ one whose last record is cut short, @EMPTY@ one with no
# records, @JUNK@ a file that is no replay, @OUT@ the directory the trace and
# log go to, @MISSING@ a path that does not exist and @NOTHING@ an empty
# argument.
rows=(
  "0 --stage 0 --replay @REPLAY@ --hiscore 0 --trace @OUT@/trace --log @OUT@/log"
  "0 --headless --stage 0 --replay @REPLAY@ --max-frames 300 --trace @OUT@/trace"
  "0 --stage 0 --replay @TORN@ --hiscore 500 --trace @OUT@/trace --log @OUT@/log"
  "0 --stage 3 --replay @EMPTY@ --log @OUT@/log"
  "0 --stage 0 --replay @JUNK@ --log @OUT@/log"
  "2"
  "2 --help"
  "2 --stage 0"
  "2 --replay @REPLAY@"
  "2 --stage 4 --replay @REPLAY@"
  "2 --stage x --replay @REPLAY@"
  "2 --stage 0 --replay @REPLAY@ --hiscore -1"
  "2 --stage 0 --replay @REPLAY@ --max-frames 0"
  "2 --stage 0 --replay @REPLAY@ --max-frames 2147483648"
  "2 --stage 0 --replay @REPLAY@ --frames 10"
  "2 --stage 0 --replay @REPLAY@ --trace"
  "2 --stage 0 --replay @REPLAY@ --trace @NOTHING@"
  "2 --stage 0 --replay @REPLAY@ --log @NOTHING@"
  "2 --stage 0 --replay @NOTHING@"
  "2 --stage 0 --replay @MISSING@"
  "2 --stage 0 --replay @OUT@"
  "1 --stage 0 --replay @REPLAY@ --trace @MISSING@/trace"
  "0 --stage 0 --replay @REPLAY@ --log @MISSING@/log"
)

# Runs "$@" with the row's arguments into directory $1: stdout, stderr, the
# exit status and whatever was written into @OUT@.
run_row() {
  local into=$1
  shift
  rm -rf "$work/out" && mkdir "$work/out"
  local status=0
  "$@" >"$into.stdout" 2>"$into.stderr" || status=$?
  echo "$status" >"$into.status"
  rm -rf "$into.files" && cp -r "$work/out" "$into.files"
}

failed=0
number=0
for row in "${rows[@]}"; do
  number=$((number + 1))
  read -r want words <<<"$row"
  args=()
  for word in $words; do
    word=${word//@REPLAY@/$here/replays/stage0.bin}
    word=${word//@TORN@/$here/replays/torn_last_record.bin}
    word=${word//@EMPTY@/$here/replays/empty.bin}
    word=${word//@JUNK@/$work/not_a_replay.bin}
    word=${word//@OUT@/$work/out}
    word=${word//@MISSING@/$work/missing}
    word=${word//@NOTHING@/}
    args+=("$word")
  done
  run_row "$work/reference" "${reference[@]}" "${args[@]}"
  run_row "$work/other" "${other[@]}" "${args[@]}"
  got=$(cat "$work/reference.status")
  if [[ $got != "$want" ]]; then
    echo "FAIL row $number ($words): the reference exited with status $got, not $want"
    failed=$((failed + 1))
  fi
  differs=
  for part in stdout stderr status; do
    if ! cmp -s "$work/reference.$part" "$work/other.$part"; then
      differs+=" $part"
      diff "$work/reference.$part" "$work/other.$part" | head -n 8 | sed 's/^/  | /' || true
    fi
  done
  if ! diff -r "$work/reference.files" "$work/other.files" >/dev/null; then
    differs+=" files"
    diff -r "$work/reference.files" "$work/other.files" | head -n 8 | sed 's/^/  | /' || true
  fi
  if [[ -n $differs ]]; then
    echo "FAIL row $number ($words): the builds differ in:$differs"
    failed=$((failed + 1))
  fi
done

if ((failed > 0)); then
  echo "compare: $failed of ${#rows[@]} command lines differ (${reference[*]} against ${other[*]})"
  exit 1
fi
echo "compare: all ${#rows[@]} command lines give the same output, files and status (${reference[*]} against ${other[*]})"
