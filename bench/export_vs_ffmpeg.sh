#!/usr/bin/env bash
# Times `sorvane-cli export` against ffmpeg's decoder on the same file: one 74-minute
# 37.8 kHz stereo channel (interleave 4, the other slots empty) in a raw 2352-byte XA file
# of random sound. Each program runs RUNS times (default 3) and its best time counts, as
# the machine may be shared.
# usage: bench/export_vs_ffmpeg.sh [BUILD_DIR] [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
minutes=${2:-74}
runs=${RUNS:-3}
cli=$build_dir/src/cli/sorvane-cli
maker=$build_dir/bench/make_bench_xa
for tool in "$cli" "$maker"; do
  [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 2; }
done
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
xa=$work/long.xa
"$maker" "$xa" "$minutes"
sync
cat "$xa" >/dev/null  # both programs read from the page cache

# best_time OUT CMD...: runs CMD (which writes OUT) $runs times; prints the best wall time.
best_time() {
  local out=$1 best="" start end
  shift
  for _ in $(seq "$runs"); do
    rm -f "$out"
    sync
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
  done
  echo "$best"
}

ours=$(best_time "$work/ours.wav" "$cli" export "$xa" 1 "$work/ours.wav" --quick)
ours_size=$(stat -c %s "$work/ours.wav")
rm -f "$work/ours.wav"
# ffmpeg reports an input error when it reaches the end of the raw file; its output is complete.
theirs=$(best_time "$work/ffmpeg.wav" ffmpeg -nostdin -v error -y -f psxstr -i "$xa" -map 0:a:0 \
  -ar 44100 "$work/ffmpeg.wav")
theirs_size=$(stat -c %s "$work/ffmpeg.wav")

awk -v m="$minutes" -v o="$ours" -v t="$theirs" -v os="$ours_size" -v ts="$theirs_size" \
  -v r="$runs" 'BEGIN {
  printf "file: %d min of 37.8 kHz stereo, interleave 4, raw 2352-byte sectors; best of %d runs\n", m, r
  printf "sorvane-cli export: %8.3f s  (%d bytes written)\n", o, os
  printf "ffmpeg:             %8.3f s  (%d bytes written)\n", t, ts
  printf "real-time factor of export: %.0fx (target >= 2000x)\n", m * 60 / o
  printf "ffmpeg time / export time:  %.2f (target >= 2)\n", t / o
}'
