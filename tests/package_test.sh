#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, unpacks it, runs what it
# installed, and checks the desktop entry, the metainfo and the manual pages it carries.
# usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
version=$("$build/src/cli/sorvane-cli" --version | awk '{print $2}')
deb="$work/out/sorvane_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no $deb; cpack wrote: $(ls "$work/out")" >&2; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-ipafont-gothic qt6-translations-l10n libc6 libstdc++6 libqt6widgets6; do
  grep -q "$needed" <<<"$depends" || { echo "Depends lacks $needed: $depends" >&2; exit 1; }
done
for field in Maintainer Description Section; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || { echo "the package has no $field" >&2; exit 1; }
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
cli="$root/usr/bin/sorvane-cli"
[ -x "$root/usr/bin/sorvane" ] || { echo "the package lacks the editor" >&2; exit 1; }
[ "$("$cli" --version)" = "sorvane-cli $version" ] || { echo "wrong --version" >&2; exit 1; }
"$cli" demo "$work/demo.xa"
listing=$("$cli" list "$work/demo.xa" --units sectors)
[ "$(grep -c . <<<"$listing")" -eq 4 ] || { echo "the demo file does not list three channels:" >&2; echo "$listing" >&2; exit 1; }

# Every check below must pass without a single warning.
quiet() {
  local out
  out=$("$@" 2>&1) || { echo "$* failed: $out" >&2; exit 1; }
  if grep -qv -e '^✔ Validation was successful' -e '^$' <<<"$out"; then
    echo "$* warns: $out" >&2
    exit 1
  fi
}
share="$root/usr/share"
quiet desktop-file-validate "$share/applications/sorvane.desktop"
quiet appstreamcli validate --no-net "$share/metainfo/org.sorvane.Sorvane.metainfo.xml"
for page in sorvane sorvane-cli; do
  gz="$share/man/man1/$page.1.gz"
  [ -f "$gz" ] || gz="$share/man/man1/$page.1"
  [ -f "$gz" ] || { echo "the package lacks $page(1)" >&2; exit 1; }
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$page(1) warns: $warnings" >&2; exit 1; }
done
for file in icons/hicolor/scalable/apps/sorvane.svg mime/packages/sorvane.xml \
  bash-completion/completions/sorvane-cli; do
  [ -s "$share/$file" ] || { echo "the package lacks $file" >&2; exit 1; }
done
grep -q 'type="audio/x-cdxa"' "$share/mime/packages/sorvane.xml"
# The English translation is built into the editor (rcc stores resource names in UTF-16);
# Qt's Japanese comes from qt6-translations-l10n, a dependency checked above.
LC_ALL=C grep -qaP '\x00s\x00o\x00r\x00v\x00a\x00n\x00e\x00_\x00e\x00n\x00\.\x00q\x00m' \
  "$root/usr/bin/sorvane" || { echo "the editor lacks its English translation" >&2; exit 1; }
echo "package $deb: $(dpkg-deb -f "$deb" Depends)"
