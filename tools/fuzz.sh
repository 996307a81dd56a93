#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz target with clang, replays every input of the corpus,
# then fuzzes for the given number of seconds (default 60): three quarters
# of the time on inputs of up to 4 KiB, which run fast, and a quarter on
# inputs of 256 KiB to 1 MiB that straddle the block sizes. Each phase
# starts from the seed corpus in git and from what earlier runs found worth
# keeping (tests/fuzz/corpus-grown/, which git ignores); the large phase
# also from a few large generated inputs. An input that crashes or
# shows a mismatch is added to tests/fuzz/corpus/ as a regression case, and
# the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DSAYVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" >/dev/null
fuzzer=build-fuzz/tests/fuzz/fuzz_reading
seeds=tests/fuzz/corpus
grown=tests/fuzz/corpus-grown
large=build-fuzz/large-inputs
mkdir -p "$large"

# Header bytes, then collection-like lines with CR LF, lone LF and
# headings, 256 KiB to 1 MiB long: block sizes 64 KiB, 256 KiB and 1 MiB.
make_large() { # name header-bytes size
  [ -f "$large/$1" ] && return
  { printf "$2"
    head -c "$3" < <(yes $'##Author\r\nA quotation of wisdom, line after line.\r\n\r\n  ##Spaced heading\r\nlone\nfeed\r')
  } > "$large/$1"
}
make_large straddle-64k '\x0d\x05\x03\x02' 262144
make_large straddle-256k '\x0e\x81\x05\x07' 600000
make_large straddle-1m '\x0f\x02\x46\x09' 1048570

echo "Replaying $(ls "$seeds" | wc -l) seed inputs"
"$fuzzer" "$seeds"/* > build-fuzz/replay.log 2>&1 || { tail -30 build-fuzz/replay.log; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$grown/small" "$grown/large"
status=0
fuzz() { # seconds max-length corpus...
  local time=$1 length=$2
  shift 2
  "$fuzzer" -max_total_time="$time" -max_len="$length" -print_final_stats=1 -artifact_prefix="$work/" \
    -dict=tests/fuzz/reading.dict "$@" >> "$work/log" 2>&1 || status=$?
}
fuzz $((seconds * 3 / 4)) 4096 "$grown/small" "$seeds"
[ "$status" -ne 0 ] || fuzz $((seconds - seconds * 3 / 4)) 1100000 "$grown/large" "$large"
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$work/log" || true
echo "grown corpus: $(ls "$grown/small" | wc -l) small and $(ls "$grown/large" | wc -l) large inputs in $grown"
found=$(find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \))
if [ "$status" -ne 0 ] || [ -n "$found" ]; then
  tail -40 "$work/log"
  for input in $found; do
    name="regression-$(sha1sum "$input" | cut -c1-12)"
    cp "$input" "$seeds/$name"
    echo "added $seeds/$name"
  done
  echo "fuzzing found a fault"
  exit 1
fi
echo "fuzzing: no fault in $seconds s"
