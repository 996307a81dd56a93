#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs every test: the test suite,
# the Debian package check, the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer, the library's tests through the portable
# file code, and a minute of differential fuzzing.
#   ./test.sh --quick   only the suite, in parallel, without the tests
#                       labelled slow: the loop to run while working
set -euo pipefail
cd "$(dirname "$0")"
quick=false
case "${1:-}" in
  "") ;;
  --quick) quick=true ;;
  *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac
tools/install-deps.sh test
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_WERROR=ON >/dev/null
if $quick; then
  # Only what the tests need: not the benchmark or the collection maker.
  cmake --build build --parallel "$jobs"
  ctest --test-dir build --output-on-failure --parallel "$jobs" --label-exclude slow --timeout 300
  exit 0
fi
cmake --build build --parallel "$jobs" --target all sayvane-bench make-collection
ctest --test-dir build --output-on-failure --parallel "$jobs" --timeout 900

echo "== Debian package"
package=$(cd build && cpack -G DEB | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')
[ -f "$package" ] || { echo "cpack made no package"; exit 1; }
tests/package_on_screen.sh "$package" build/src/sayvane

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_SANITIZE=ON -DSAYVANE_WERROR=ON >/dev/null
cmake --build build-sanitize --parallel "$jobs"
# Qt Test ends a test function after five minutes; under the sanitizers
# the text boxes' paste of 150,000 characters alone can take longer.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  QTEST_FUNCTION_TIMEOUT=1500000 ctest --test-dir build-sanitize --output-on-failure --parallel "$jobs" --timeout 1800

echo "== Library tests through the portable file code"
cmake -S . -B build-portable -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_PORTABLE_FILES=ON -DSAYVANE_WERROR=ON >/dev/null
cmake --build build-portable --parallel "$jobs" --target tst_reading tst_filter tst_sections tst_search tst_shown_text_aside tst_file_kinds tst_fortunes \
  tst_collection_writer tst_file_names tst_keeping tst_terminal
ctest --test-dir build-portable --output-on-failure --parallel "$jobs" --label-regex library --timeout 300

echo "== Fuzzing"
tools/fuzz.sh "${SAYVANE_FUZZ_SECONDS:-60}"
