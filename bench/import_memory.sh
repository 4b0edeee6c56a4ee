#!/usr/bin/env bash
# Peak memory of `sorvane-cli import` (default path and --hq) of a 44.1 kHz stereo WAV into
# a 37.8 kHz stereo channel of the same length, for a short and a long input: the figure
# must not grow with the length (target: below 16 MB whatever the length).
# usage: bench/import_memory.sh [BUILD_DIR] [SHORT_MINUTES] [LONG_MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SORVANE_UNDO_DIR=$work/undo
for minutes in "${2:-10}" "${3:-74}"; do
  "$build_dir"/bench/make_bench_xa "$work/in.xa" "$minutes"
  "$build_dir"/bench/make_bench_wav "$work/in.wav" $((minutes * 60))
  for path in "" --hq; do
    /usr/bin/time -f "%M" -o "$work/peak" \
      "$build_dir"/src/cli/sorvane-cli import "$work/in.xa" 1 "$work/in.wav" --quick $path
    awk -v m="$minutes" -v p="${path:-default}" -v k="$(cat "$work/peak")" 'BEGIN {
      printf "import %s of %d min: peak %.1f MB (target < 16 MB)\n", p, m, k / 1024 }'
  done
done
