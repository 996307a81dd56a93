#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package and prints its path: build-release/sayvane_<version>_<arch>.deb
# Install it with: apt install ./build-release/sayvane_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh package
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release --parallel "$(nproc)" --target sayvane sayvane_manual sayvane_changelog
package=$(cd build-release && cpack -G DEB | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')
[ -f "$package" ] || { echo "cpack made no package" >&2; exit 1; }
echo "$package"
