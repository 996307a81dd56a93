#!/usr/bin/env bash
# Builds the Debian package: build-release/sayvane_<version>_<arch>.deb
# Install it with: apt install ./build-release/sayvane_*.deb
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release --parallel "$(nproc)" --target sayvane
(cd build-release && cpack -G DEB >/dev/null)
ls build-release/sayvane_*.deb
