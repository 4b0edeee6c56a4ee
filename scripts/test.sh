#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds, and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
scripts/build.sh
ctest --test-dir "${SORVANE_BUILD_DIR:-build}" --output-on-failure -j2
