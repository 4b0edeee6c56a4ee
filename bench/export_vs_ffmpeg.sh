#!/usr/bin/env bash
# Times `sorvane-cli export` against ffmpeg's decoder on the same file: one 74-minute
# 37.8 kHz stereo channel (interleave 4, the other slots empty) in a raw 2352-byte XA file
# of random sound. Each program runs RUNS times (default 5) and its best time counts, as
# the machine may be shared.
# usage: bench/export_vs_ffmpeg.sh [BUILD_DIR] [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
minutes=${2:-74}
runs=${RUNS:-5}
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

# best_run OUT CMD...: runs CMD (which writes OUT) $runs times; prints "wall cpu" in seconds
# of the run with the best wall time (cpu = user + system time of the process).
best_run() {
  local out=$1 best="" times=$work/times TIMEFORMAT="%R %U %S"
  shift
  for _ in $(seq "$runs"); do
    rm -f "$out"
    sync
    { time "$@" 2>&3; } 3>&2 2>"$times"
    best=$(awk -v b="$best" '{ w = $1; c = $2 + $3 }
      END { split(b, p, " "); if (b == "" || w < p[1]) print w, c; else print b }' "$times")
  done
  echo "$best"
}

read -r ours ours_cpu < <(best_run "$work/ours.wav" "$cli" export "$xa" 1 "$work/ours.wav" --quick)
ours_size=$(stat -c %s "$work/ours.wav")
rm -f "$work/ours.wav"
# ffmpeg reports an input error when it reaches the end of the raw file; its output is complete.
read -r theirs theirs_cpu < <(best_run "$work/ffmpeg.wav" ffmpeg -nostdin -v error -y -f psxstr \
  -i "$xa" -map 0:a:0 -ar 44100 "$work/ffmpeg.wav")
theirs_size=$(stat -c %s "$work/ffmpeg.wav")

awk -v m="$minutes" -v o="$ours" -v t="$theirs" -v os="$ours_size" -v ts="$theirs_size" \
  -v r="$runs" -v oc="$ours_cpu" -v tc="$theirs_cpu" 'BEGIN {
  printf "file: %d min of 37.8 kHz stereo, interleave 4, raw 2352-byte sectors; best of %d runs\n", m, r
  printf "sorvane-cli export: %7.2f s wall, %5.2f s cpu  (%d bytes written)\n", o, oc, os
  printf "ffmpeg:             %7.2f s wall, %5.2f s cpu  (%d bytes written)\n", t, tc, ts
  printf "real-time factor of export: %.0fx (target >= 2000x)\n", m * 60 / o
  printf "ffmpeg time / export time:  %.2f wall, %.2f cpu (target >= 2)\n", t / o, tc / oc
}'
