#!/usr/bin/env bash
# Times the waveform against `sorvane-cli export` on one 74-minute 37.8 kHz stereo channel
# (interleave 4, random sound, raw 2352-byte sectors) in the page cache: the export to
# OUT_ROOT (default /dev/shm), RUNS times (default 5), median; then waveform_bench (the
# summary's time and memory, and how soon play --from of the last minute hands its first
# block to the device) and waveform_paint_bench (the strip offscreen at 1600 x 160: the longest
# gap between event-loop turns while the summary is computed, and the paint time by zoom).
# Measured 2026-12-09 (2 cores shared with other work, load average about 3.5): export median
# 1.245 s wall (1.21 s CPU); summary 0.670 s wall (0.68 s CPU), ratio 0.54; summary 6.02 MB;
# play --from the last minute: first block after 0.68 s; in the window: longest gap between
# event-loop turns 16 ms; paint 0.2 to 2.0 ms at every zoom.
# usage: bench/waveform_timing.sh [BUILD_DIR] [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/timing_helpers.sh
build_dir=${1:-build}
minutes=${2:-74}
runs=${RUNS:-5}
cli=$build_dir/src/cli/sorvane-cli
maker=$build_dir/bench/make_bench_xa
bench=$build_dir/bench/waveform_bench
paint=$build_dir/bench/waveform_paint_bench
require_built "$cli" "$maker" "$bench" "$paint"
out_root=$(scratch_root)

work=$(mktemp -d "$out_root/waveform-timing.XXXXXX")
trap 'rm -rf "$work"' EXIT
xa=$work/long.xa
"$maker" "$xa" "$minutes"
cat "$xa" >/dev/null

exports=() export_cpus=()
for _ in $(seq "$runs"); do
  rm -f "$work/out.wav"
  TIMEFORMAT="%R %U %S"
  { time "$cli" export "$xa" 1 "$work/out.wav" --quick 2>&3; } 3>&2 2>"$work/times"
  read -r wall user sys <"$work/times"
  exports+=("$wall") export_cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.3f", u + s }')")
  rm -f "$work/out.wav"
done
export_s=$(median "${exports[@]}")
echo "sorvane-cli export to $out_root: ${exports[*]} s; median $export_s s; cpu median $(median "${export_cpus[@]}") s"

summary=$("$bench" "$xa" 1 "$runs")
echo "$summary"
summary_s=$(sed -n 's/^summary seconds (median of [0-9]*) //p' <<<"$summary")
awk -v w="$summary_s" -v e="$export_s" 'BEGIN { printf "waveform / export: %.2f (target < 0.6)\n", w / e }'
"$paint" "$xa" 1
