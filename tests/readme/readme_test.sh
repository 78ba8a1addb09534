#!/usr/bin/env bash
# Runs the shell sessions of the README and checks that every command prints
# exactly what the README shows under it.
#
# A session is an indented code block whose first line starts with "$ ".
# Each "$ " line is a command, and the lines after it, up to the next command
# or the end of the block, are what it prints. The sessions run one after
# another in one shell, as a player types them, in a directory laid out like
# the source tree after `cmake --workflow --preset demo`: build/kv5save, and
# the demo save in build/demo. A terminal shows CR LF as a plain line end, so
# the CR of a CR LF in the output is not compared.
#
# Usage: readme_test.sh README.md <kv5save> <make_demo_save>
set -uo pipefail
readme_work=$(mktemp -d)
trap 'rm -rf "$readme_work"' EXIT
mkdir -p "$readme_work/tree/build/demo" "$readme_work/shown"
cp "$2" "$readme_work/tree/build/kv5save"
(cd "$readme_work/tree/build/demo" && "$(realpath "$3")" KV5SaveData) || exit 1

# Each command goes into shown/<its line>.command, what it prints into .output.
awk -v dir="$readme_work/shown" '
  !/^    / { block = 0; next }
  { body = substr($0, 5) }
  !block { block = 1; session = body ~ /^\$ / }
  !session { next }
  body ~ /^\$ / { at = sprintf("%s/%05d", dir, NR); print substr(body, 3) > (at ".command")
                  printf "" > (at ".output"); next }
  { print body > (at ".output") }' "$1"
readme_commands=("$readme_work"/shown/*.command)
[ -e "${readme_commands[0]}" ] || { echo "readme_test: no session found in $1"; exit 1; }

cd "$readme_work/tree" || exit 1
readme_failed=0
for readme_command in "${readme_commands[@]}"; do
  { eval "$(cat "$readme_command")"; } >"$readme_work/printed" 2>&1
  diff -u --label "README shows" --label "the command printed" "${readme_command%.command}.output" \
    <(sed 's/\r$//' "$readme_work/printed") >"$readme_work/diff" || {
    echo "README.md:$((10#$(basename "$readme_command" .command))): \$ $(cat "$readme_command")"
    cat "$readme_work/diff"; readme_failed=1
  }
done
((readme_failed)) && exit 1
echo "readme_test: ${#readme_commands[@]} commands of README.md print what it shows"
