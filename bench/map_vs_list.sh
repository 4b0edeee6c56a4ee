#!/usr/bin/env bash
# Times `sorvane-cli map --json` of a 74-minute file against `list --json` of the same file
# (both scan the whole file; warm cache), and reports the peak memory of map --json for a
# large and a small file: it stays the same whatever the file's length.
set -euo pipefail
build_dir=${1:-build}
cli=$build_dir/src/cli/sorvane-cli
file=${TMPDIR:-/tmp}/sorvane-map-bench.xa
small=${TMPDIR:-/tmp}/sorvane-map-small.xa
export SORVANE_UNDO_DIR=${SORVANE_UNDO_DIR:-$(mktemp -d)}
"$build_dir"/bench/make_big_xa "$file" 333000
"$build_dir"/bench/make_big_xa "$small" 3000
cat "$file" > /dev/null  # warm the cache

# shellcheck source=best_time.sh
source "$(dirname "$0")/best_time.sh"
rss() { { /usr/bin/time -f %M "$@" > /dev/null; } 2>&1 | tail -1; }

list_time=$(best "$cli" list "$file" --json)
map_time=$(best "$cli" map "$file" --json)
picture_time=$(best "$cli" map "$file" --width 200)
printf 'list --json: %.3f s  map --json: %.3f s  ratio: %.2f  map --width 200: %.3f s\n' \
  "$list_time" "$map_time" "$(echo "$map_time / $list_time" | bc -l)" "$picture_time"
echo "peak memory of map --json: $(rss "$cli" map "$file" --json) KiB (333000 sectors)," \
  "$(rss "$cli" map "$small" --json) KiB (3000 sectors)"
rm -f "$file" "$small"
