#!/usr/bin/env bash
# The start of `sorvane-cli`: median whole-process times of 20 runs of `/bin/true`,
# `sorvane-cli --version` and `sorvane-cli list` of the demo file (in the page cache), and
# how much longer the two take than `/bin/true` (the aim: 8 ms at most). Prints also
# how many shared libraries the program loads.
set -euo pipefail
build_dir=${1:-build}
# shellcheck source=timing_helpers.sh
source "$(dirname "$0")/timing_helpers.sh"
cli=$build_dir/src/cli/sorvane-cli
require_built "$cli"
demo=$(mktemp --suffix=.xa)
trap 'rm -f "$demo"' EXIT
"$cli" demo "$demo" --force > /dev/null
cat "$demo" > /dev/null

# median_of CMD...: the median wall time of 20 runs, in milliseconds.
median_of() {
  local times=() i
  for i in $(seq 20); do times+=("$(seconds "$@")"); done
  echo "$(median "${times[@]}") * 1000" | bc -l
}

"$cli" --version > /dev/null  # the program in the page cache too
base=$(median_of /bin/true)
version=$(median_of "$cli" --version)
list=$(median_of "$cli" list "$demo")
printf '/bin/true %.2f ms, --version %.2f ms (+%.2f), list %.2f ms (+%.2f)\n' \
  "$base" "$version" "$(echo "$version - $base" | bc -l)" "$list" "$(echo "$list - $base" | bc -l)"
echo "shared libraries loaded: $(ldd "$cli" | wc -l)"
