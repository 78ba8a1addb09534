#!/usr/bin/env bash
# Builds what the page's tests compare it with, the native tool and its
# session runner in the default build (configured when missing), and writes
# down every run of the player sessions there for the differential test.
#   record_runs.sh SOURCE NATIVE_BUILD RECORD_DIRECTORY
set -euo pipefail
source=$1 native=$2 record=$3
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S "$source" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV5SAVE_BUILD_TESTS=ON
fi
cmake --build "$native" -j2 --target kv5save session_cases make_demo_save make_full_save
rm -rf "$record"
KV5SAVE_RECORD_RUNS="$record" "$native/tests/session_cases" --gtest_brief=1
