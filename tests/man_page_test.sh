#!/usr/bin/env bash
# The manual page of sorvane-cli names every command and every option that the program's
# own help names, and the README lists the same commands.
# usage: man_page_test.sh SORVANE-CLI MANPAGE
set -euo pipefail
cli=$1
page=$2
status=0
# The options the page names, as typed ("\-\-end\-gap" is --end-gap).
named=$(sed 's/\\-/-/g' "$page" | grep -o -- '--[a-z][a-z-]*' | sort -u)
commands=$("$cli" --help | sed -n 's/^  sorvane-cli \([a-z][a-z-]*\).*/\1/p')
[ -n "$commands" ] || { echo "no commands in sorvane-cli --help" >&2; exit 1; }
for command in $commands; do
  if ! grep -q "^\.B $command\$" "$page"; then
    echo "the manual page has no synopsis of '$command'" >&2
    status=1
  fi
  for option in $("$cli" "$command" --help | grep -o -- '--[a-z-]*' | sort -u); do
    if ! grep -qx -- "$option" <<<"$named"; then
      echo "the manual page does not name $option of '$command'" >&2
      status=1
    fi
  done
done
# And nothing the program no longer has.
for command in $(sed -n '/^\.SH SYNOPSIS/,/^\.SH DESCRIPTION/s/^\.B \([a-z][a-z-]*\)$/\1/p' "$page"); do
  if ! grep -qx "$command" <<<"$commands"; then
    echo "the manual page describes '$command', which sorvane-cli does not have" >&2
    status=1
  fi
done
exit $status
