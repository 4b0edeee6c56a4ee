#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor on FILE, or on a demo file of
# three channels made from generated sound.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${SORVANE_BUILD_DIR:-build}
file=${1:-}
if [ -z "$file" ]; then
  file=$build_dir/demo.xa
  "$build_dir"/src/cli/sorvane-cli demo "$file" --force
fi
exec "$build_dir"/src/app/sorvane "$file"
