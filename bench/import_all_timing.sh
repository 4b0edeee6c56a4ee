#!/usr/bin/env bash
# import-all of 40 sounds of 10 s into one file against the 40 `import` commands run one after
# another: wall time, best of RUNS (default 3) each, in turns (target: at most 1.2x), and the
# bytes of their journals (target: at most 1.2x). The two files must come out identical.
# usage: bench/import_all_timing.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:?build dir}
runs=${RUNS:-3}
cli=$build_dir/src/cli/sorvane-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/timing_helpers.sh

# The 40 imports; each one's journal entry is added to $work/each-bytes (the journal keeps
# only the last 20 of a file's edits, so they are counted as they are made).
one_by_one() {
  for wav in "$work"/sounds/f_ch*.wav; do
    ch=${wav##*_ch}
    "$cli" import "$work/b/f.xa" "$((10#${ch%.wav}))" "$wav" --yes
    find "$SORVANE_UNDO_DIR" -name '*.undo' -printf '%T@ %s\n' | sort -n | tail -n 1 |
      awk '{print $2}' >>"$work/each-bytes"
  done
}

"$build_dir"/bench/make_bench_wav "$work/ten.wav" 10
export SORVANE_UNDO_DIR=$work/undo-setup
"$cli" new "$work/f.xa" --layout raw >/dev/null
# Four channels side by side (interleave 4), ten rows of them one after another, each row
# 13 s on so that a channel's post-gap clears the next.
for k in $(seq 0 39); do
  "$cli" append "$work/f.xa" "$work/ten.wav" --quality 37.8s --start "$((k / 4 * 13)).0" \
    --slot "$((k % 4))" --yes >/dev/null 2>&1
done
[ "$("$cli" list "$work/f.xa" | wc -l)" -eq 41 ] || { echo "the file did not get 40 channels" >&2; exit 1; }
"$cli" export-all "$work/f.xa" --out "$work/sounds" >/dev/null
mkdir -p "$work/a" "$work/b"
best_all=999 best_each=999
for _ in $(seq "$runs"); do
  cp "$work/f.xa" "$work/a/f.xa"
  cp "$work/f.xa" "$work/b/f.xa"
  rm -rf "$work/undo-a" "$work/undo-b" "$work/each-bytes"
  t=$(SORVANE_UNDO_DIR=$work/undo-a seconds "$cli" import-all "$work/a/f.xa" --from "$work/sounds" --yes)
  best_all=$(least "$t" "$best_all")
  export SORVANE_UNDO_DIR=$work/undo-b
  t=$(seconds one_by_one)
  best_each=$(least "$t" "$best_each")
done
cmp -s "$work/a/f.xa" "$work/b/f.xa" || { echo "the two ways wrote different files" >&2; exit 1; }
bytes_all=$(find "$work/undo-a" -name '*.undo' -printf '%s\n' | awk '{s += $1} END {print s}')
bytes_each=$(awk '{s += $1} END {print s}' "$work/each-bytes")
awk -v a="$best_all" -v b="$best_each" -v ja="$bytes_all" -v jb="$bytes_each" 'BEGIN {
  printf "40 sounds of 10 s: import-all %.2f s, 40 imports %.2f s: %.2fx (target <= 1.2x)\n", a, b, a / b
  printf "journal: %d bytes against %d: %.2fx (target <= 1.2x)\n", ja, jb, ja / jb }'
