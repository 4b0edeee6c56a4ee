#!/usr/bin/env bash
# Times `sorvane-cli export` against ffmpeg's decoder on the same file: one 74-minute
# 37.8 kHz stereo channel (interleave 4, the other slots empty) in a raw 2352-byte XA file
# of random sound. The two programs run in turns, RUNS times each (default 5), so that a
# change in the machine's load touches both alike; the median of each counts, and the ratio
# is taken pair by pair. Both write their WAV to the same folder, in OUT_ROOT (default
# /dev/shm when it exists, so that the disk does not come into it).
# usage: bench/export_vs_ffmpeg.sh [BUILD_DIR] [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/timing_helpers.sh
build_dir=${1:-build}
minutes=${2:-74}
runs=${RUNS:-5}
cli=$build_dir/src/cli/sorvane-cli
maker=$build_dir/bench/make_bench_xa
require_built "$cli" "$maker"
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed" >&2; exit 2; }
out_root=$(scratch_root)

work=$(mktemp -d "$out_root/export-vs-ffmpeg.XXXXXX")
trap 'rm -rf "$work"' EXIT
xa=$work/long.xa
"$maker" "$xa" "$minutes"
cat "$xa" >/dev/null  # both programs read from the page cache

# timed OUT CMD...: runs CMD (which writes OUT) once; prints "wall cpu" in seconds (cpu =
# user + system time of the process).
timed() {
  local out=$1 times=$work/times TIMEFORMAT="%R %U %S"
  shift
  rm -f "$out"
  { time "$@" 2>&3; } 3>&2 2>"$times"
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$times"
}

ours=() ours_cpu=() theirs=() theirs_cpu=() ratios=()
for _ in $(seq "$runs"); do
  read -r w c < <(timed "$work/ours.wav" "$cli" export "$xa" 1 "$work/ours.wav" --quick)
  ours+=("$w") ours_cpu+=("$c")
  ours_size=$(stat -c %s "$work/ours.wav")
  rm -f "$work/ours.wav"
  # ffmpeg reports an input error when it reaches the end of the raw file; its output is complete.
  read -r w c < <(timed "$work/ffmpeg.wav" ffmpeg -nostdin -v error -y -f psxstr -i "$xa" \
    -map 0:a:0 -ar 44100 "$work/ffmpeg.wav")
  theirs+=("$w") theirs_cpu+=("$c")
  theirs_size=$(stat -c %s "$work/ffmpeg.wav")
  rm -f "$work/ffmpeg.wav"
  ratios+=("$(awk -v o="${ours[-1]}" -v t="$w" 'BEGIN { printf "%.2f", t / o }')")
done

o=$(median "${ours[@]}") t=$(median "${theirs[@]}")
echo "file: $minutes min of 37.8 kHz stereo, interleave 4, raw 2352-byte sectors; $runs runs each, in turns"
echo "sorvane-cli export: median $o s wall, $(median "${ours_cpu[@]}") s cpu ($ours_size bytes written)"
echo "ffmpeg:             median $t s wall, $(median "${theirs_cpu[@]}") s cpu ($theirs_size bytes written)"
awk -v m="$minutes" -v o="$o" 'BEGIN { printf "real-time factor of export: %.0fx\n", m * 60 / o }'
echo "ffmpeg time / export time, pair by pair: median $(median "${ratios[@]}") of: ${ratios[*]} (target >= 3)"
echo "cores: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
