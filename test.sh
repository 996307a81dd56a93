#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the test suite,
# the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
# and a minute of differential fuzzing of the quote library.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
werror=OFF
[ -n "${CI:-}" ] && werror=ON
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_WERROR="$werror" >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --timeout 900

echo "== Debian package"
(cd build && cpack -G DEB >/dev/null)
tests/package_on_screen.sh build/sayvane_*.deb build/src/sayvane

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAYVANE_SANITIZE=ON -DSAYVANE_WERROR="$werror" >/dev/null
cmake --build build-sanitize --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure --timeout 1800

echo "== Fuzzing"
tools/fuzz.sh "${SAYVANE_FUZZ_SECONDS:-60}"
