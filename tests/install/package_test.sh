#!/usr/bin/env bash
# What a C++ program gets from `cmake --install`: the example in
# examples/export, configured and built against the installed package alone,
# after the install tree has been moved (nothing in it may point back), with
# an older language standard asked for (the target must bring C++17). It
# prints what `kv5save -r` writes, byte for byte, and fails as it says.
# Usage: package_test.sh <build directory> <source directory> <kv5save>
#          <make_demo_save> <make_full_save> <C++ compiler> <generator> <C++ flags>
set -euo pipefail
build=$1 source=$2 tool=$3 make_demo_save=$4 make_full_save=$5 compiler=$6 generator=$7 flags=$8
work="$build/package_test"
rm -rf "$work"
fail() { echo "package_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/moved"
cmake -S "$source/examples/export" -B "$work/example" -G "$generator" \
  -DCMAKE_PREFIX_PATH="$work/moved" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_CXX_STANDARD=14 \
  -DCMAKE_CXX_FLAGS="$flags -Wall -Wextra -Wpedantic -Werror" >"$work/configure.log" 2>&1 ||
  fail "the example does not configure: $(cat "$work/configure.log")"
cmake --build "$work/example" -j2 >"$work/build.log" 2>&1 ||
  fail "the example does not build: $(cat "$work/build.log")"
export=$work/example/kv5export

mkdir "$work/saves"
cd "$work/saves"
"$make_demo_save" demo
"$make_full_save" full
for save in demo full; do
  "$tool" -r "$save" >/dev/null
  "$export" "$save" >"$save.printed" 2>"$save.errors" || fail "kv5export $save exited $?"
  cmp "$save.printed" "$save.txt" || fail "kv5export $save printed other than $save.txt"
  [ ! -s "$save.errors" ] || fail "kv5export $save said: $(cat "$save.errors")"
done

# Exit status $1 for the arguments after it, with nothing on standard output
# and something on standard error; the latter is left in `errors`.
fails_with() {
  local expected=$1 status=0
  shift
  "$export" "$@" >printed 2>errors || status=$?
  [ "$status" -eq "$expected" ] || fail "kv5export $* exited $status, not $expected"
  [ ! -s printed ] || fail "kv5export $* printed: $(head -c 200 printed)"
  [ -s errors ] || fail "kv5export $* said nothing on standard error"
}
fails_with 1 missing
fails_with 1 "$work/saves"
# Not a save: the session's own messages, the ones the tool starts with.
cp "$source/README.md" readme
fails_with 1 readme
"$tool" -r readme >tool.printed || true
[ "$(head -c "$(wc -c <errors)" tool.printed)" = "$(cat errors)" ] ||
  fail "kv5export readme said: $(cat errors)"
fails_with 2
[ "$(wc -l <errors)" -eq 1 ] || fail "kv5export without a save said: $(cat errors)"

cd "$build"
rm -rf "$work"
echo "package_test: the example built against the moved install prints what kv5save -r writes"
