#!/usr/bin/env bash
# What the undo journal costs, on raw XA files of one 37.8 kHz stereo channel:
#  1. `sorvane-cli import` of a 10-minute 44.1 kHz WAV, with the journal, against the same
#     import by BASELINE_CLI (a sorvane-cli built before the journal), in turns, best of
#     RUNS (default 3) each (target: at most 1.3x; against a build of main before the
#     journal's checksums, the checksums' share: at most 1.05x);
#  2. the journal entry of that import against the bytes the import overwrote (target: at
#     most those bytes + 4 KiB);
#  3. `undo` of the import of a MINUTES-long channel (default 74) against `cp` of the same
#     number of bytes into a new file followed by `sync` (target: at most 2x).
# usage: bench/journal_timing.sh BUILD_DIR BASELINE_CLI [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:?build dir}
baseline=${2:?sorvane-cli built without the journal}
minutes=${3:-74}
runs=${RUNS:-3}
cli=$build_dir/src/cli/sorvane-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SORVANE_UNDO_DIR=$work/undo

# seconds CMD...: the wall time of one run.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

"$build_dir"/bench/make_bench_xa "$work/ten.xa" 10
"$build_dir"/bench/make_bench_wav "$work/ten.wav" 600
best_with=999 best_without=999
for _ in $(seq "$runs"); do
  cp "$work/ten.xa" "$work/a.xa"
  cp "$work/ten.xa" "$work/b.xa"
  rm -rf "$SORVANE_UNDO_DIR"
  t=$(seconds "$cli" import "$work/a.xa" 1 "$work/ten.wav" --quick)
  best_with=$(echo "if ($t < $best_with) $t else $best_with" | bc -l)
  t=$(seconds "$baseline" import "$work/b.xa" 1 "$work/ten.wav" --quick)
  best_without=$(echo "if ($t < $best_without) $t else $best_without" | bc -l)
done
cmp -s "$work/a.xa" "$work/b.xa" || { echo "the two imports wrote different files" >&2; exit 1; }
awk -v a="$best_with" -v b="$best_without" 'BEGIN {
  printf "import of 10 min: %.2f s with the journal, %.2f s without: %.2fx (target <= 1.3x)\n", a, b, a / b }'

entry=$(find "$SORVANE_UNDO_DIR" -name '*.undo' | head -n 1)
kept=$(stat -c %s "$entry")
overwritten=$((10 * 60 * 75 / 4 * 2336))
awk -v k="$kept" -v o="$overwritten" 'BEGIN {
  printf "journal of that import: %d bytes for %d overwritten: %+d (target <= +4096)\n", k, o, k - o }'

"$build_dir"/bench/make_bench_xa "$work/long.xa" "$minutes"
"$build_dir"/bench/make_bench_wav "$work/long.wav" $((minutes * 60))
rm -rf "$SORVANE_UNDO_DIR"
"$cli" import "$work/long.xa" 1 "$work/long.wav" --quick
entry=$(find "$SORVANE_UNDO_DIR" -name '*.undo' | head -n 1)
sync
copy=$(seconds sh -c "cp '$entry' '$work/copy' && sync")
rm "$work/copy"
sync
undo=$(seconds "$cli" undo "$work/long.xa")
awk -v u="$undo" -v c="$copy" -v m="$minutes" 'BEGIN {
  printf "undo of a %d-min import: %.2f s; cp + sync of its journal: %.2f s: %.2fx (target <= 2x)\n", m, u, c, u / c }'
