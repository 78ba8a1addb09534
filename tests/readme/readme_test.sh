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
readme=$1
tool=$(realpath "$2")
make_demo_save=$(realpath "$3")

readme_work=$(mktemp -d)
trap 'rm -rf "$readme_work"' EXIT

readme_commands=()
readme_outputs=()
readme_lines=()
readme_in_block=0
readme_session=0
readme_number=0
while IFS= read -r readme_line || [ -n "$readme_line" ]; do
  readme_number=$((readme_number + 1))
  if [[ $readme_line != "    "* ]]; then
    readme_in_block=0
    continue
  fi
  readme_body=${readme_line:4}
  if ((!readme_in_block)); then
    readme_in_block=1
    readme_session=0
    [[ $readme_body == '$ '* ]] && readme_session=1
  fi
  ((readme_session)) || continue
  if [[ $readme_body == '$ '* ]]; then
    readme_commands+=("${readme_body:2}")
    readme_outputs+=("")
    readme_lines+=("$readme_number")
  else
    readme_outputs[-1]+="$readme_body"$'\n'
  fi
done <"$readme"
if ((${#readme_commands[@]} == 0)); then
  echo "readme_test: no session found in $readme"
  exit 1
fi

mkdir -p "$readme_work/tree/build/demo"
cp "$tool" "$readme_work/tree/build/kv5save"
(cd "$readme_work/tree/build/demo" && "$make_demo_save" KV5SaveData) || exit 1
cd "$readme_work/tree" || exit 1

readme_failed=0
for readme_i in "${!readme_commands[@]}"; do
  { eval "${readme_commands[readme_i]}"; } >"$readme_work/printed" 2>&1
  sed 's/\r$//' "$readme_work/printed" >"$readme_work/seen"
  printf '%s' "${readme_outputs[readme_i]}" >"$readme_work/shown"
  if ! cmp -s "$readme_work/shown" "$readme_work/seen"; then
    echo "README.md:${readme_lines[readme_i]}: \$ ${readme_commands[readme_i]}"
    diff -u --label "README shows" --label "the command printed" \
      "$readme_work/shown" "$readme_work/seen"
    readme_failed=1
  fi
done
((readme_failed)) && exit 1
echo "readme_test: ${#readme_commands[@]} commands of README.md print what it shows"
