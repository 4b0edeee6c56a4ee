#!/usr/bin/env bash
# Times `sorvane-cli export-all` of a folder of FILES XA files of MINUTES each (four channels
# of random sound, one of each quality) with --jobs 1 against --jobs 2, in turns, RUNS times
# each (default 3); the median of each counts, and the ratio is taken pair by pair. The XA
# files and the WAVs go to OUT_ROOT (default /dev/shm when it exists, so that the disk does
# not come into it); the WAVs are removed after each run.
# usage: bench/export_all_jobs.sh [BUILD_DIR] [FILES] [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/timing_helpers.sh
build_dir=${1:-build}
files=${2:-8}
minutes=${3:-10}
runs=${RUNS:-3}
cli=$build_dir/src/cli/sorvane-cli
maker=$build_dir/bench/make_bench_folder
require_built "$cli" "$maker"
out_root=$(scratch_root)

work=$(mktemp -d "$out_root/export-all-in.XXXXXX")
out=$(mktemp -d "$out_root/export-all.XXXXXX")
trap 'rm -rf "$work" "$out"' EXIT
"$maker" "$work/in" "$files" "$minutes"
cat "$work"/in/*.xa >/dev/null  # read from the page cache

# seconds JOBS: wall seconds of one export-all run.
seconds() {
  local start end
  rm -rf "${out:?}"/*
  start=$(date +%s.%N)
  "$cli" export-all "$work/in" --out "$out" --jobs "$1" >/dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}

one=() two=() ratios=()
for _ in $(seq "$runs"); do
  a=$(seconds 1)
  b=$(seconds 2)
  one+=("$a") two+=("$b")
  ratios+=("$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", a / b }')")
done
echo "folder: $files files of $minutes min, 4 channels each (37.8k stereo and mono, 18.9k stereo and mono)"
echo "export-all --jobs 1: median $(median "${one[@]}") s of: ${one[*]}"
echo "export-all --jobs 2: median $(median "${two[@]}") s of: ${two[*]}"
echo "jobs 1 / jobs 2, pair by pair: median $(median "${ratios[@]}") of: ${ratios[*]} (target >= 1.7)"
echo "cores: $(nproc); load average before the last run: $(cut -d' ' -f1-3 /proc/loadavg)"
