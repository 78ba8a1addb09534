#!/usr/bin/env bash
# What a player gets from `cmake --install` and from the package: a tool that
# runs, a manual page that renders without a warning (a missing page gives
# one), and the README (the package is made from the same install).
# Usage: install_test.sh <build directory>
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
usage=$("$work/prefix/bin/kv5save")
[[ $usage == "KV5 savegame tool. "* ]] || fail "the installed tool printed: $usage"

page="$work/prefix/share/man/man1/kv5save.1"
warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
rendered=$(MANWIDTH=80 man -l "$page" 2>&1)
grep -q '^ *kv5save - edit the custom characters of a Kestrelvane 5 save as text$' <<<"$rendered" ||
  fail "man -l did not render the page: $rendered"

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
archive=("$work"/package/kv5save-*-Linux.tar.gz)
contents=$(tar -tzf "${archive[0]}" | sed 's,^[^/]*/,,' | grep -v '/$' | sort)
expected=$'bin/kv5save\nshare/doc/kv5save/README.md\nshare/man/man1/kv5save.1'
[ "$contents" = "$expected" ] || fail "the package holds: $contents"
echo "install_test: installed, rendered and packed"
