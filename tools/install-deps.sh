#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# and stays quiet when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake qt6-base-dev qt6-base-dev-tools libgl-dev
  clang libclang-rt-14-dev
  fonts-liberation2 fonts-dejavu-core
  xvfb xauth xdotool imagemagick
  dpkg-dev desktop-file-utils appstream at-spi2-core
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
