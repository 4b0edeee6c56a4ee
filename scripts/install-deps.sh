#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Sorvane need.
# Idempotent: installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  libsndfile1-dev
  qt6-base-dev libgl1-mesa-dev libsdl2-dev libsoxr-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libcdio-dev libiso9660-dev
  fonts-ipafont-gothic
  xvfb xauth imagemagick libxcb-cursor0 xdotool openbox ffmpeg bc time strace
  dpkg-dev file desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
