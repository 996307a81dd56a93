#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that are missing, and stays quiet when
# everything is already there:
#   tools/install-deps.sh run       what building and running the program
#                                   need
#   tools/install-deps.sh bench     that, the X server the benchmark
#                                   draws its first frames on, and the
#                                   fortune files it imports
#   tools/install-deps.sh package   that, and what building the Debian
#                                   package with its manual page needs
#   tools/install-deps.sh test      all that, and what the tests, the
#                                   package check, the sanitizer build and
#                                   the fuzzer need (fortunes-min among
#                                   them, for the importer's test)
set -euo pipefail
profile=${1:-test}

run_packages=(build-essential cmake qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core)
bench_packages=(xvfb xauth fortunes time)
package_packages=(dpkg-dev help2man)
test_packages=(strace xdg-utils libglib2.0-bin clang xdotool imagemagick openbox x11-utils desktop-file-utils appstream lintian at-spi2-core dbus-daemon dbus-bin fortunes-min)

case "$profile" in
  run) wanted=("${run_packages[@]}") ;;
  bench) wanted=("${run_packages[@]}" "${bench_packages[@]}") ;;
  package) wanted=("${run_packages[@]}" "${package_packages[@]}") ;;
  test) wanted=("${run_packages[@]}" "${package_packages[@]}" "${bench_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 run|bench|package|test" >&2; exit 2 ;;
esac

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

install_missing() {
  local missing=()
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_missing "${wanted[@]}"

# The fuzzer and the sanitizers need the runtime of the clang that is
# installed, whichever version that is.
if [ "$profile" = test ]; then
  clang_major=$(clang -dumpversion | cut -d. -f1)
  install_missing "libclang-rt-${clang_major}-dev"
fi
