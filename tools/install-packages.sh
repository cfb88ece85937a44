#!/usr/bin/env bash
# Installs, with apt-get as root, the Debian packages that building, running
# and testing the two programs need; packages already installed are skipped.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtk2.0-dev libjpeg-dev fonts-dejavu-core
  librsvg2-dev xboard
  googletest libgtest-dev libbenchmark-dev clang clang-format
  libclang-rt-14-dev
  xvfb xauth xdotool x11-utils imagemagick poppler-utils
  libxtst-dev
  dpkg-dev desktop-file-utils python3 python3-xlib time
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

apt-get update -qq
if ((${#missing[@]})); then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
