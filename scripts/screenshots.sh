#!/usr/bin/env bash
# Builds the editor and saves pictures of its windows into docs/screenshots/: the main
# window in each unit, its popup menu, the progress window during a WAV export, the three
# dialogs, Qt's open dialog and the chooser of a disc image's files (drawn off screen by
# sorvane-screenshots, on the demo file of `sorvane-cli demo` and the demo image that
# make_demo_image builds), the main window in English, and on an X display (Xvfb, captured
# with ImageMagick) the editor as it starts and its open dialog in Japanese.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=$(cd "${SORVANE_BUILD_DIR:-build}" && pwd)
out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SORVANE_UNDO_DIR=$work/undo XDG_CONFIG_HOME=$work/config

mkdir -p "$work/files"
demo=$work/files/demo.xa
"$build_dir"/src/cli/sorvane-cli demo "$demo" --force
mkdir -p "$work/disc"
image=$("$build_dir"/tests/make_demo_image "$work/disc" "$demo")

SORVANE_LANG=ja QT_QPA_PLATFORM=offscreen "$build_dir"/src/app/sorvane-screenshots "$out" "$demo" \
  "$image"
mkdir -p "$work/en"
SORVANE_LANG=en QT_QPA_PLATFORM=offscreen "$build_dir"/src/app/sorvane-screenshots "$work/en" "$demo"
cp "$work/en/main-time.png" "$out/main-english.png"

# The editor as it starts, with no window manager: the window stands at 221,105.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  SORVANE_LANG=ja QT_QPA_PLATFORM=xcb "$1" "$2" &
  editor=$!
  sleep 3
  import -window root "$3"
  kill "$editor"
' bash "$build_dir/src/app/sorvane" "$demo" "$work/desktop.png"
# The window stands at 221,105 with its 415 x 420 pixels; there is no window manager.
convert "$work/desktop.png" -crop 680x560+0+0 +repage "$out/desktop.png"

# ファイル > 開く, typed as a person would, under a window manager, in the demo's folder.
(cd "$work/files" && xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  openbox &
  sleep 1
  SORVANE_LANG=ja QT_QPA_PLATFORM=xcb "$1" "$2" &
  editor=$!
  sleep 3
  window=$(xdotool search --onlyvisible --name Sorvane | head -1)
  xdotool windowactivate --sync "$window"
  xdotool windowmove --sync "$window" 200 250
  xdotool key alt+f
  sleep 0.5
  xdotool key o
  sleep 2
  import -window root "$3"
  kill "$editor"
' bash "$build_dir/src/app/sorvane" "$demo" "$work/open.png")
convert "$work/open.png" -crop 700x470+70+128 +repage "$out/desktop-open-dialog.png"
ls -1 "$out"
