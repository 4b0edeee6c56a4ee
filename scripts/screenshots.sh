#!/usr/bin/env bash
# Builds the editor and saves pictures of its windows into docs/screenshots/: the main
# window in each unit, its popup menu, the progress window during a WAV export, the three
# dialogs (drawn off screen by sorvane-screenshots, on the demo file of `sorvane-cli demo`),
# and the editor as it starts on an X display (Xvfb, captured with ImageMagick).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${SORVANE_BUILD_DIR:-build}
out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

demo=$work/demo.xa
"$build_dir"/src/cli/sorvane-cli demo "$demo" --force

QT_QPA_PLATFORM=offscreen "$build_dir"/src/app/sorvane-screenshots "$out" "$demo"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  QT_QPA_PLATFORM=xcb "$1" "$2" &
  editor=$!
  sleep 3
  import -window root "$3"
  kill "$editor"
' bash "$build_dir/src/app/sorvane" "$demo" "$work/desktop.png"
# The window stands at 221,105 with its 415 x 420 pixels; there is no window manager.
convert "$work/desktop.png" -crop 680x560+0+0 +repage "$out/desktop.png"
ls -1 "$out"
