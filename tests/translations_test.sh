#!/usr/bin/env bash
# Every text of the editor has its English translation: lupdate reads the sources into a
# copy of the translation kept in the repository, and any entry it leaves unfinished (a
# new text, a changed one, or one never translated) or empty fails the test.
#   translations_test.sh LUPDATE TS_FILE SOURCE...
set -euo pipefail
lupdate=$1
ts=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/check.ts"
"$lupdate" -silent -locations none -no-obsolete "$@" -ts "$work/check.ts"
if grep -q 'type="unfinished"\|<translation></translation>\|<translation/>' "$work/check.ts"; then
  echo "untranslated or unfinished entries of $(basename "$ts"):" >&2
  grep -B2 'type="unfinished"\|<translation></translation>\|<translation/>' "$work/check.ts" |
    grep '<source>' >&2
  echo "run: cmake --build build --target update_translations, then translate them" >&2
  exit 1
fi
echo "every entry of $(basename "$ts") is translated"
