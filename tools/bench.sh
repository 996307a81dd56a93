#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmark, makes two collections of the given size if there
# are none yet (Windows-1252 with CR LF, and UTF-8 with LF), and prints the
# table: tools/bench.sh [--commands] [10MB|100MB|1GB]. With --commands,
# only the rows of the commands at the terminal (--add, --check, --search,
# --random). Ends with status 1 when a row is not met or could not be
# measured.
set -euo pipefail
cd "$(dirname "$0")/.."
commands=()
if [ "${1:-}" = --commands ]; then commands=(--commands); shift; fi
size=${1:-100MB}
tools/install-deps.sh bench
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release --parallel "$(nproc)" --target sayvane-bench make-collection >/dev/null
collection=build-release/collections/$size
utf8_collection=build-release/collections/$size-utf8-lf
if [ ! -f "$collection/Data/authors.txt" ]; then
  echo "Making the $size collection in $collection ..."
  build-release/tools/make-collection "$collection" "$size"
fi
if [ ! -f "$utf8_collection/Data/authors.txt" ]; then
  echo "Making the $size UTF-8 LF collection in $utf8_collection ..."
  build-release/tools/make-collection --utf8-lf "$utf8_collection" "$size"
fi
# Warm the page cache.
cat "$collection"/Data/*.txt "$utf8_collection"/Data/*.txt > /dev/null
for folder in "$collection" "$utf8_collection"; do
  echo "Collection: $folder ($(du -sh "$folder/Data" | cut -f1)), $(wc -l < "$folder/Data/authors.txt") lines in authors.txt"
done
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB"
# The first frames are drawn on an X server, as a user sees them: the
# desktop's own, or a virtual one where there is none.
if [ ${#commands[@]} -gt 0 ]; then
  build-release/bench/sayvane-bench --commands "$collection" "$utf8_collection"
elif [ -n "${DISPLAY:-}" ]; then
  build-release/bench/sayvane-bench "$collection" "$utf8_collection"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" build-release/bench/sayvane-bench "$collection" "$utf8_collection"
fi
