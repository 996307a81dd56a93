#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every source, build and script file names its licence in an
# SPDX-License-Identifier line near its top.
#   tests/licence_lines.sh SOURCE_DIR
set -euo pipefail
cd "$1"
[ -f LICENSE ] || { echo "FAIL: no LICENSE file"; exit 1; }
lacking=$(git ls-files -- '*.cpp' '*.h' '*.in' '*.sh' 'CMakeLists.txt' '.ci/run' |
  while read -r file; do head -n 3 "$file" | grep -q 'SPDX-License-Identifier: MIT' || echo "$file"; done)
[ -z "$lacking" ] || { echo "FAIL: no licence line in:"; echo "$lacking"; exit 1; }
echo "ok: every source and script file carries its licence line"
