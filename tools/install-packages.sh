#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and packaging
# the programs need. When every one is installed it does nothing: no root, no
# network. Otherwise, as root, it runs apt-get update once and installs the
# missing ones; as another user it names them and fails.
#
# GTK+ 2's development files come where the release has them and GTK 3's
# always; a release without GTK+ 2 builds on GTK 3 alone.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libjpeg-dev fonts-dejavu-core
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

# The windows' toolkit: GTK+ 2 where the release still has it, GTK 3 where it
# does not. GTK 3's development files are wanted besides, where GTK+ 2 is
# built, for the test command's second build.
has_candidate() {
  local candidate
  candidate=$(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: *//p')
  [[ -n $candidate && $candidate != "(none)" ]]
}
if ! installed libgtk2.0-dev && ! has_candidate libgtk2.0-dev && ((EUID == 0)) && ! $updated; then
  apt-get update -qq # package lists that are missing or old would hide it
  updated=true
fi
if installed libgtk2.0-dev || has_candidate libgtk2.0-dev; then
  install_missing libgtk2.0-dev libgtk-3-dev
else
  install_missing libgtk-3-dev
fi

# The sanitizers' runtime belongs to one clang version: the one the release's
# "clang" package depends on (clang-14 on Debian 12, clang-19 on Debian 13).
clang_version=$(dpkg-query -W -f='${Depends}' clang | grep -o -E '(^|[ ,])clang-[0-9]+' | grep -o -E '[0-9]+' | head -1)
if [[ -z $clang_version ]]; then
  echo "cannot tell which clang the package clang brings: $(dpkg-query -W -f='${Depends}' clang)" >&2
  exit 1
fi
install_missing "libclang-rt-$clang_version-dev"
