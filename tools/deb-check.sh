#!/usr/bin/env bash
# Checks the Debian package as a user meets it (as root, on a Debian 13 or
# Debian 12 machine or container): installs it with apt-get, starts it as a normal
# user on an Xvfb display (tools/deb_check/session.sh), then removes it and
# checks that nothing of it is left.
#   bash tools/deb-check.sh [PACKAGE.deb]   (default: the one in build/)
set -euo pipefail
cd "$(dirname "$0")/.."
deb=${1:-$(ls build/vindolar_*.deb 2>/dev/null | head -1)}
[[ -f $deb ]] || { echo "deb-check: no package; run cpack -G DEB in build/ first" >&2; exit 2; }
deb=$(realpath "$deb")
user=vindolar-check

echo "== install $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" | tail -3
dpkg -s vindolar | grep -E '^(Status|Depends):'
# The package's own files (not the folders it shares with others).
mapfile -t package_files < <(dpkg -L vindolar | while read -r path; do [[ -d $path ]] || echo "$path"; done)
echo "${#package_files[@]} files installed"

id "$user" > /dev/null 2>&1 || useradd -m -s /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
rm -rf "$home/.local/share/vindolar" "$home/session.log"
session=$(mktemp)
cp tools/deb_check/session.sh "$session"
chmod 755 "$session"

echo "== session as $user"
status=0
runuser -u "$user" -- env -i HOME="$home" USER="$user" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
  xvfb-run -a -s "-screen 0 1280x1024x24" bash "$session" || status=$?
rm -f "$session"

echo "== remove"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -q vindolar | tail -2
leftover=$(ls -d /usr/libexec/vindolar /usr/share/vindolar "${package_files[@]}" 2>/dev/null || true)
if [[ -n $leftover ]]; then echo "FAIL: left after removal: $leftover"; status=1; fi
if dpkg -s vindolar > /dev/null 2>&1; then echo "FAIL: package still known: $(dpkg -s vindolar | grep Status)"; status=1; fi
echo "the user's own directory stays: $(ls "$home/.local/share/vindolar" | tr '\n' ' ')"
((status == 0)) && echo "deb-check: all checks passed"
exit "$status"
