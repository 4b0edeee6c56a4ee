#!/usr/bin/env bash
# Times `sorvane-cli import` of a 10-minute 44.1 kHz stereo WAV into a 37.8 kHz stereo
# channel of the same length (11250 sectors, interleave 4, raw 2352-byte sectors), best of
# RUNS (default 3), and reports the real-time factor (target >= 400x; with --hq, the
# high-quality path, >= 150x).
# usage: bench/import_timing.sh [BUILD_DIR] [MINUTES] [--hq]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
minutes=${2:-10}
hq=${3:-}
target=400
[ "$hq" = "--hq" ] && target=150
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build_dir"/bench/make_bench_xa "$work/in.xa" "$minutes"
"$build_dir"/bench/make_bench_wav "$work/in.wav" $((minutes * 60))
cat "$work/in.xa" "$work/in.wav" > /dev/null
best=999
for _ in $(seq "$runs"); do
  start=$(date +%s.%N)
  "$build_dir"/src/cli/sorvane-cli import "$work/in.xa" 1 "$work/in.wav" --quick $hq
  end=$(date +%s.%N)
  best=$(echo "t = $end - $start; if (t < $best) t else $best" | bc -l)
done
awk -v m="$minutes" -v b="$best" -v hq="$hq" -v t="$target" 'BEGIN {
  printf "import %s of %d min 44.1 kHz stereo into 37.8 kHz stereo: %.2f s, %.0fx real time (target >= %dx)\n", hq, m, b, m * 60 / b, t }'
