#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmark, makes a collection of the given size if there is
# none yet, and prints the table: tools/bench.sh [10MB|100MB|1GB]
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-100MB}
tools/install-deps.sh bench
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release --parallel "$(nproc)" --target sayvane-bench make-collection >/dev/null
collection=build-release/collections/$size
if [ ! -f "$collection/Data/authors.txt" ]; then
  echo "Making the $size collection in $collection ..."
  build-release/tools/make-collection "$collection" "$size"
fi
# Warm the page cache.
cat "$collection"/Data/*.txt > /dev/null
echo "Collection: $size ($(du -sh "$collection/Data" | cut -f1)), $(wc -l < "$collection/Data/authors.txt") lines in authors.txt"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB"
# The first frames are drawn on an X server, as a user sees them: the
# desktop's own, or a virtual one where there is none.
if [ -n "${DISPLAY:-}" ]; then
  build-release/bench/sayvane-bench "$collection"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" build-release/bench/sayvane-bench "$collection"
fi
