#!/usr/bin/env bash
# Builds the fuzz target with clang, replays every input of the corpus,
# then fuzzes for the given number of seconds (default 60). An input that
# crashes or shows a mismatch is added to tests/fuzz/corpus/ as a
# regression case, and the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DSAYVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" >/dev/null
fuzzer=build-fuzz/tests/fuzz/fuzz_reading
corpus=tests/fuzz/corpus

echo "Replaying $(ls "$corpus" | wc -l) corpus inputs"
"$fuzzer" "$corpus"/* > build-fuzz/replay.log 2>&1 || { tail -30 build-fuzz/replay.log; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/found"
status=0
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/found/" \
  "$work/corpus" "$corpus" > "$work/log" 2>&1 || status=$?
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$work/log" || true
if [ "$status" -ne 0 ] || [ -n "$(ls "$work/found")" ]; then
  tail -40 "$work/log"
  for input in "$work/found"/*; do
    [ -e "$input" ] || continue
    cp "$input" "$corpus/regression-$(sha1sum "$input" | cut -c1-12)"
    echo "added $corpus/regression-$(sha1sum "$input" | cut -c1-12)"
  done
  echo "fuzzing found a fault"
  exit 1
fi
echo "fuzzing: no fault in $seconds s"
