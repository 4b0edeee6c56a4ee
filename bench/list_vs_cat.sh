#!/usr/bin/env bash
# Times `sorvane-cli list` (whole-file scan, warm cache) of a 74-minute file against
# reading the file once with cat, and reports the peak memory of the list.
set -euo pipefail
build_dir=${1:-build}
file=${TMPDIR:-/tmp}/sorvane-list-bench.xa
"$build_dir"/bench/make_big_xa "$file" 333000
cat "$file" > /dev/null  # warm the cache

# shellcheck source=best_time.sh
source "$(dirname "$0")/best_time.sh"

cat_time=$(best cat "$file")
list_time=$(best "$build_dir"/src/cli/sorvane-cli list "$file")
rss=$( { /usr/bin/time -f %M "$build_dir"/src/cli/sorvane-cli list "$file" > /dev/null; } 2>&1 | tail -1)
small=${TMPDIR:-/tmp}/sorvane-list-small.xa
"$build_dir"/bench/make_big_xa "$small" 3000
rss_small=$( { /usr/bin/time -f %M "$build_dir"/src/cli/sorvane-cli list "$small" > /dev/null; } 2>&1 | tail -1)
printf 'cat: %.3f s  list: %.3f s  ratio: %.2f\n' "$cat_time" "$list_time" "$(echo "$list_time / $cat_time" | bc -l)"
echo "peak memory of list: ${rss} KiB (333000 sectors), ${rss_small} KiB (3000 sectors)"
rm -f "$file" "$small"
