#!/usr/bin/env bash
# Plants each fault (a patch in this folder, or those named) in turn into the
# source tree, builds the native preset and runs its tests, and says which tests
# caught it: "caught by N" with their names, or "MISSED". The tree is given back
# as it was after each. Usage: tests/faults/run.sh [PATCH...]
set -uo pipefail
cd "$(dirname "$0")/../.."
build=build/default
if [ $# -gt 0 ]; then patches=("$@"); else patches=(tests/faults/*.patch); fi
cmake --preset default >/dev/null || exit 1
cmake --build --preset default -j "$(nproc)" >/dev/null || { echo "the tree does not build without a fault"; exit 1; }
caught=0
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  if ! git apply "$patch"; then
    echo "FAIL $name: does not apply"
    continue
  fi
  if cmake --build --preset default -j "$(nproc)" >/dev/null 2>&1; then
    # Each test has a timeout: a planted fault may make one hang.
    failing=$(ctest --preset default -E '^(SdlScreen\.|fault_patches_apply$)' --timeout 60 2>&1 |
      sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(Failed\|Timeout\|SEGFAULT\|Subprocess aborted\|Exception\|Not Run\).*/\1/p')
  else
    failing="(the build)"
  fi
  git apply -R "$patch"
  if [ -n "$failing" ]; then
    caught=$((caught + 1))
    echo "$name: caught by $(echo "$failing" | wc -l): $(echo "$failing" | paste -sd' ')"
  else
    echo "$name: MISSED"
  fi
done
cmake --build --preset default -j "$(nproc)" >/dev/null
echo "caught $caught of ${#patches[@]}"
