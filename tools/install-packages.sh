#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and packaging
# the programs need. When every one is installed it does nothing: no root, no
# network. Otherwise, as root, it runs apt-get update once and installs the
# missing ones; as another user it names them and fails.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtk2.0-dev libjpeg-dev fonts-dejavu-core
  librsvg2-dev xboard
  googletest libgtest-dev libbenchmark-dev clang clang-format
  xvfb xauth xdotool x11-utils imagemagick poppler-utils
  libxtst-dev
  dpkg-dev desktop-file-utils python3 python3-xlib time
  lintian appstream man-db
  pgn-extract
  acl fusefat dosfstools
)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

updated=false
install_missing() {
  local missing=() package
  for package in "$@"; do
    installed "$package" || missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  if ((EUID != 0)); then
    echo "missing Debian packages: ${missing[*]}" >&2
    echo "install them as root: bash tools/install-packages.sh" >&2
    exit 1
  fi
  if ! $updated; then
    apt-get update -qq
    updated=true
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${PACKAGES[@]}"

# The sanitizers' runtime belongs to one clang version: the one the release's
# "clang" package depends on (clang-14 on Debian 12, clang-19 on Debian 13).
clang_version=$(dpkg-query -W -f='${Depends}' clang | grep -o -E '(^|[ ,])clang-[0-9]+' | grep -o -E '[0-9]+' | head -1)
if [[ -z $clang_version ]]; then
  echo "cannot tell which clang the package clang brings: $(dpkg-query -W -f='${Depends}' clang)" >&2
  exit 1
fi
install_missing "libclang-rt-$clang_version-dev"
