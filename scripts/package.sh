#!/usr/bin/env bash
# Installs what is missing, builds a release of the two programs and makes the Debian
# package sorvane_VERSION_amd64.deb in ./package (or $SORVANE_PACKAGE_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build_dir=${SORVANE_PACKAGE_BUILD_DIR:-build-package}
out=${SORVANE_PACKAGE_DIR:-package}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DSORVANE_TESTS=OFF -DSORVANE_BENCH=OFF >/dev/null
cmake --build "$build_dir"
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out" >/dev/null
rm -rf "$out/_CPack_Packages"
ls "$out"/sorvane_*_amd64.deb
