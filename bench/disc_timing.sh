#!/usr/bin/env bash
# Disc images, on a full 74-minute image (333,000 sectors) with a 10-minute XA file in it:
#  1. the share of the image's bytes that `sorvane-cli disc --json` reads (counted by strace;
#     target: under 2 %), and its time against `sorvane-cli --version` (target: under twice
#     that plus 10 ms), best of RUNS (default 5);
#  2. `import` of 10 minutes into the entry against the same import into the same sectors
#     copied out as a raw XA file, best of RUNS each, in turns (target: at most 1.2x).
# usage: bench/disc_timing.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:?build dir}
runs=${RUNS:-5}
cli=$build_dir/src/cli/sorvane-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/timing_helpers.sh
export SORVANE_UNDO_DIR=$work/undo


cue=$("$build_dir"/bench/make_bench_disc "$work" 10 333000)
bin=$work/IMAGE.BIN
size=$(stat -c %s "$bin")
read_bytes=$(strace -f -e trace=read,pread64 "$cli" disc "$cue" --json 2>&1 >/dev/null |
  sed -n 's/.*= \([0-9][0-9]*\)$/\1/p' | awk '{s += $1} END {print s + 0}')
awk -v r="$read_bytes" -v s="$size" 'BEGIN {
  printf "disc --json reads %d of %d bytes: %.3f %% (target < 2 %%)\n", r, s, 100 * r / s }'
t_disc=$(best "$runs" "$cli" disc "$cue" --json)
t_version=$(best "$runs" "$cli" --version)
awk -v d="$t_disc" -v v="$t_version" 'BEGIN {
  printf "disc --json %.4f s, --version %.4f s: limit %.4f s (target: under it)\n", d, v, 2 * v + 0.010 }'

lba=$("$cli" disc "$cue" --json | grep -o '"path": "/XA/VOICE.XA;1", "first_sector": [0-9]*' |
  grep -o '[0-9]*$')
sectors=$((10 * 60 * 75))
"$build_dir"/bench/make_bench_wav "$work/ten.wav" 600
cp "$bin" "$work/pristine.bin"
dd if="$bin" of="$work/pristine.xa" bs=2352 skip="$lba" count="$sectors" status=none
best_entry=999 best_file=999
for _ in $(seq "$runs"); do
  cp "$work/pristine.bin" "$bin"
  cp "$work/pristine.xa" "$work/voice.xa"
  rm -rf "$SORVANE_UNDO_DIR"
  sync
  t=$(seconds "$cli" import "$cue" 1 "$work/ten.wav" --quick --entry /XA/VOICE.XA)
  best_entry=$(least "$t" "$best_entry")
  t=$(seconds "$cli" import "$work/voice.xa" 1 "$work/ten.wav" --quick --no)
  best_file=$(least "$t" "$best_file")
done
awk -v a="$best_entry" -v b="$best_file" 'BEGIN {
  printf "import of 10 min: %.3f s into the entry, %.3f s into the file: %.2fx (target <= 1.2x)\n", a, b, a / b }'
