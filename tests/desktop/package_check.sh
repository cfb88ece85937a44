#!/usr/bin/env bash
# Checks of the Debian package as a packager builds it (cpack -G DEB from the
# build directory).
#   package_check.sh build BUILD_DIR OUT_DIR   builds it into OUT_DIR, unpacked
#                                              into OUT_DIR/root
#   package_check.sh CHECK OUT_DIR             one check of that package:
#     contents   files, manual pages, changelog and control fields
#     hardening  the programs as Debian hardens and strips them (readelf)
#     lintian    Debian's package checker: no error and no warning
#     metadata   desktop entry and AppStream metainfo, by their validators
# A check whose tool is not installed exits 77 (skipped) with a message.
set -u
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
finish() {
  if ((failures)); then echo "$failures failures"; exit 1; fi
  echo "package $1: all checks passed"
  exit 0
}
skip() { echo "skipped: $*"; exit 77; }

check=$1
if [[ $check == build ]]; then
  build=$2 out=$3
  command -v dpkg-deb > /dev/null || skip "no dpkg-deb"
  rm -rf "$out" && mkdir -p "$out"
  (cd "$build" && cpack -G DEB -B "$out") > "$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; echo "FAIL: cpack"; exit 1; }
  deb=$(ls "$out"/vindolar_*.deb 2> /dev/null | head -1)
  [[ -f $deb ]] || { cat "$out/cpack.log"; echo "FAIL: cpack made no vindolar_*.deb"; exit 1; }
  dpkg-deb -x "$deb" "$out/root" && dpkg-deb -e "$deb" "$out/control" || { echo "FAIL: cannot unpack $deb"; exit 1; }
  echo "built $(basename "$deb")"
  exit 0
fi

out=$2
deb=$(ls "$out"/vindolar_*.deb 2> /dev/null | head -1)
root=$out/root
[[ -f $deb && -d $root ]] || { echo "FAIL: no package in $out (the build step failed)"; exit 1; }
programs=(usr/libexec/vindolar/vindolar usr/libexec/vindolar/quessa usr/bin/vindolar-sheets)

case $check in
contents)
  field() { dpkg-deb -f "$deb" "$1"; }
  [[ $(field Package) == vindolar ]] || fail "package name $(field Package)"
  [[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[a-z0-9-]+(\.[a-z0-9-]+)+\>$ ]] || fail "maintainer [$(field Maintainer)]"
  [[ $(field Maintainer) != *localhost* ]] || fail "maintainer at localhost"
  # A package of section games keeps its commands in /usr/games; ours keeps
  # them in /usr/bin and is filed under another section.
  if [[ $(field Section) == games ]]; then
    [[ -d $root/usr/games ]] || fail "section games without /usr/games"
  else
    [[ ! -d $root/usr/games ]] || fail "/usr/games in a package of section $(field Section)"
  fi
  [[ $(field Depends) == *"${TOOLKIT_LIBRARY_PACKAGE:-libgtk2.0-0}"* && $(field Depends) == *fonts-dejavu-core* ]] ||
    fail "dependencies [$(field Depends)]"
  for command in "$root"/usr/bin/*; do
    name=$(basename "$command")
    for page in "usr/share/man/man1/$name.1.gz" "usr/share/man/ru/man1/$name.1.gz"; do
      [[ -f $root/$page ]] || fail "no manual page $page for $name"
    done
  done
  # Manual pages and the changelog: compressed, at the best compression and
  # without a time stamp or the original name in the gzip header.
  while IFS= read -r -d '' file; do
    name=${file#"$root"/}
    gzip -t "$file" || { fail "$name is no gzip file"; continue; }
    [[ $(od -An -tu1 -j3 -N5 "$file" | tr -s ' ') == " 0 0 0 0 0" ]] || fail "$name has a name or time stamp in its header"
    [[ $(od -An -tu1 -j8 -N1 "$file" | tr -d ' ') == 2 ]] || fail "$name is not compressed with -9"
  done < <(find "$root/usr/share/man" "$root/usr/share/doc" -name '*.gz' -print0)
  [[ -z $(find "$root/usr/share/man" -type f ! -name '*.gz') ]] || fail "uncompressed manual pages"
  changelog=$root/usr/share/doc/vindolar/changelog.gz
  if [[ -f $changelog ]]; then
    [[ $(gzip -dc "$changelog" | head -1) == "vindolar ($(field Version)) "* ]] ||
      fail "changelog does not begin with this version: $(gzip -dc "$changelog" | head -1)"
  else
    fail "no usr/share/doc/vindolar/changelog.gz"
  fi
  [[ -f $root/usr/share/doc/vindolar/copyright ]] || fail "no copyright file"
  [[ -f $root/usr/share/metainfo/org.vindolar.vindolar.metainfo.xml ]] || fail "no AppStream metainfo"
  finish contents
  ;;
hardening)
  command -v readelf > /dev/null || skip "no readelf"
  fortified=()
  for program in "${programs[@]}"; do
    file=$root/$program
    [[ -f $file ]] || { fail "no $program"; continue; }
    readelf -h "$file" | grep -q 'Type:[[:space:]]*DYN' || fail "$program is not position-independent"
    readelf -l "$file" | grep -q GNU_RELRO || fail "$program has no RELRO segment"
    readelf -d "$file" | grep -E -q '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' || fail "$program is not bound now"
    symbols=$(readelf --dyn-syms -W "$file")
    grep -q '__stack_chk_fail' <<< "$symbols" || fail "$program has no stack protection"
    grep -q -E '__[a-z0-9_]+_chk@' <<< "$symbols" && fortified+=("$program")
    sections=$(readelf -S -W "$file")
    grep -q -E '\] \.comment ' <<< "$sections" && fail "$program keeps .comment"
    grep -q -E '\] \.symtab ' <<< "$sections" && fail "$program is not stripped"
  done
  # The checked variants of string and memory functions are called where the
  # compiler cannot prove a call safe; the editor has no such call.
  ((${#fortified[@]})) || fail "no program calls a checked (fortified) function"
  echo "checked functions called in: ${fortified[*]}"
  finish hardening
  ;;
lintian)
  command -v lintian > /dev/null || skip "no lintian"
  # Informational tags kept, and why:
  #   hardening-no-fortify-functions [usr/libexec/vindolar/quessa]: the
  #     editor is built with -D_FORTIFY_SOURCE=2 like the others, but none of
  #     its calls needs a run-time check (the hardening check finds checked
  #     calls in the other programs).
  #   package-contains-documentation-outside-usr-share-doc
  #     [usr/share/vindolar/set_figure.txt]: the default settings that the
  #     launcher copies for each user, read by the programs under that name;
  #     not documentation.
  report=$(lintian --fail-on error,warning --display-info "$deb" 2>&1)
  status=$?
  [[ -n $report ]] && echo "$report"
  ((status == 0)) || fail "lintian failed (status $status)"
  grep -E '^[EW]: ' <<< "$report" && fail "lintian reports errors or warnings"
  finish lintian
  ;;
metadata)
  entry=$root/usr/share/applications/vindolar.desktop
  metainfo=$root/usr/share/metainfo/org.vindolar.vindolar.metainfo.xml
  have_tool=false
  if command -v desktop-file-validate > /dev/null; then
    have_tool=true
    desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
  else
    echo "no desktop-file-validate: desktop entry not validated"
  fi
  if command -v appstreamcli > /dev/null; then
    have_tool=true
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
  else
    echo "no appstreamcli: metainfo not validated"
  fi
  $have_tool || skip "neither desktop-file-validate nor appstreamcli"
  # The metainfo names the desktop entry and the commands this package has.
  launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
  [[ -f $root/usr/share/applications/$launchable ]] || fail "metainfo launches [$launchable], not in the package"
  while read -r binary; do
    [[ -x $root/usr/bin/$binary ]] || fail "metainfo provides $binary, not in usr/bin"
  done < <(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo")
  finish metadata
  ;;
*)
  echo "unknown check $check" >&2
  exit 2
  ;;
esac
