#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a user gets: the
# files in their places, the launcher and desktop entry naming that prefix,
# the icons at their sizes, and the launcher's working directory (with a
# stand-in trainer that reports where and how it was started).
#   install_test.sh BUILD_DIR DEFAULT_SETTINGS
set -u
build=$1
default_settings=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "install"; exit 1; }

# --- the files ---
for program in vindolar quessa; do
  [[ -f $prefix/libexec/vindolar/$program && -x $prefix/libexec/vindolar/$program ]] ||
    fail "no executable libexec/vindolar/$program"
done
[[ $(find "$prefix/share/vindolar/JPG" -name '*.bmp' | wc -l) -eq 26 ]] || fail "not 26 square pictures"
cmp -s "$prefix/share/vindolar/set_figure.txt" "$default_settings" || fail "default settings differ"
[[ -x $prefix/bin/vindolar ]] || fail "no launcher on bin/"
grep -qx "libexec_dir=\"$prefix/libexec/vindolar\"" "$prefix/bin/vindolar" || fail "launcher does not name the programs' folder"
grep -qx "data_dir=\"$prefix/share/vindolar\"" "$prefix/bin/vindolar" || fail "launcher does not name the data folder"
sh -n "$prefix/bin/vindolar" || fail "launcher is not valid sh"

# --- the worksheet command on the PATH, and the manual pages of both commands ---
[[ -x $prefix/bin/vindolar-sheets ]] || fail "no vindolar-sheets on bin/"
games=$(cd "$work" && "$prefix/bin/vindolar-sheets" --settings "$default_settings" --count 3 --seed 1 --pgn - | grep -c '^\[FEN ')
[[ $games == 3 ]] || fail "installed vindolar-sheets gave $games games, not 3"
for command in vindolar vindolar-sheets; do
  for page in "man/man1/$command.1.gz" "man/ru/man1/$command.1.gz"; do
    if [[ ! -f $prefix/share/$page ]]; then fail "no manual page share/$page"; continue; fi
    gzip -t "$prefix/share/$page" || fail "share/$page is no gzip file"
  done
  if command -v man > /dev/null; then
    LANG=C.UTF-8 man -l "$prefix/share/man/man1/$command.1.gz" 2> /dev/null | grep -q '^EXIT STATUS' ||
      fail "English manual page of $command does not render"
    LANG=C.UTF-8 man -l "$prefix/share/man/ru/man1/$command.1.gz" 2> /dev/null | grep -q '^КОД ВОЗВРАТА' ||
      fail "Russian manual page of $command does not render"
    [[ $(MANPATH="$prefix/share/man" man -w "$command") == "$prefix/share/man/man1/$command.1.gz" ]] ||
      fail "man does not find $command under the prefix"
  fi
done
# Every command on bin/ has its page.
for command in "$prefix"/bin/*; do
  [[ -f $prefix/share/man/man1/$(basename "$command").1.gz ]] || fail "no manual page for bin/$(basename "$command")"
done
[[ $(gzip -dc "$prefix/share/doc/vindolar/changelog.gz" | head -1) == "vindolar ("* ]] || fail "no changelog.gz"
[[ -f $prefix/share/metainfo/org.vindolar.vindolar.metainfo.xml ]] || fail "no AppStream metainfo"

entry="$prefix/share/applications/vindolar.desktop"
grep -qx 'Name=Мат в 1 ход' "$entry" || fail "desktop entry name"
grep -qx 'Categories=Game;BoardGame;' "$entry" || fail "desktop entry categories"
grep -qx "Exec=$prefix/bin/vindolar" "$entry" || fail "desktop entry does not start the launcher"
grep -qx 'Icon=vindolar' "$entry" || fail "desktop entry icon"
grep -q '^Comment=.*ход' "$entry" || fail "desktop entry has no Russian comment"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate"
fi

# A PNG's width and height stand as two big-endian 32-bit numbers at byte 16.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/vindolar.png"
  if [[ ! -f $icon ]]; then fail "no ${size}x${size} icon"; continue; fi
  [[ $(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || fail "${size}x${size} icon is no PNG"
  [[ $(png_size "$icon") == "${size}x${size}" ]] || fail "${size}x${size} icon measures $(png_size "$icon")"
done

# --- the launcher's working directory ---
# The real trainer needs a display; a stand-in records its working directory,
# its arguments and what it finds there.
cat > "$prefix/libexec/vindolar/vindolar" <<'EOF'
#!/bin/sh
{ pwd; echo "args $#"; ls -A; } > "$STARTED_LOG"
EOF
launch() {  # runs the launcher with HOME=$work/home and the given environment
  env -u XDG_DATA_HOME HOME="$work/home" STARTED_LOG="$work/started" "$@" "$prefix/bin/vindolar"
}

rm -f "$work/started"
launch || fail "launcher failed"
dir="$work/home/.local/share/vindolar"
[[ $(head -1 "$work/started" 2>/dev/null) == "$dir" ]] || fail "trainer not started in $dir"
grep -qx 'args 0' "$work/started" || fail "trainer got arguments"
[[ $(readlink "$dir/vindolar") == "$prefix/libexec/vindolar/vindolar" ]] || fail "no link to the trainer"
[[ $(readlink "$dir/quessa") == "$prefix/libexec/vindolar/quessa" ]] || fail "no link to the editor"
[[ $(readlink "$dir/JPG") == "$prefix/share/vindolar/JPG" && -f $dir/JPG/WNW.bmp ]] || fail "no link to the pictures"
[[ -d $dir/Image && ! -L $dir/Image ]] || fail "no Image/ folder"
cmp -s "$dir/set_figure.txt" "$default_settings" || fail "default settings not copied"
[[ -w $dir/set_figure.txt && ! -L $dir/set_figure.txt ]] || fail "settings copy is not the user's own file"

# The user's settings survive the next start; lost links come back.
printf 'mine\n' > "$dir/set_figure.txt"
rm "$dir/quessa"
launch || fail "second start failed"
[[ $(cat "$dir/set_figure.txt") == mine ]] || fail "user's settings overwritten"
[[ -L $dir/quessa ]] || fail "editor link not laid again"

# A folder of the user's own pictures in place of the link is kept.
rm "$dir/JPG" && mkdir "$dir/JPG" && touch "$dir/JPG/own.bmp"
launch || fail "start with own pictures failed"
[[ -d $dir/JPG && ! -L $dir/JPG && -f $dir/JPG/own.bmp && ! -e $dir/JPG/JPG ]] || fail "own pictures folder touched"

# An absolute XDG_DATA_HOME is used; a relative one is ignored.
launch XDG_DATA_HOME="$work/data" || fail "start with XDG_DATA_HOME failed"
[[ $(head -1 "$work/started") == "$work/data/vindolar" && -f $work/data/vindolar/set_figure.txt ]] ||
  fail "XDG_DATA_HOME not used"
(cd "$work" && launch XDG_DATA_HOME="relative") || fail "start with a relative XDG_DATA_HOME failed"
[[ $(head -1 "$work/started") == "$dir" && ! -e $work/relative ]] || fail "relative XDG_DATA_HOME not ignored"

# Without the installed trainer the launcher says so and fails.
rm "$prefix/libexec/vindolar/vindolar"
err=$(launch 2>&1) && fail "launcher succeeded without the trainer"
[[ $err == *"not installed"* ]] || fail "launcher gave no reason: [$err]"

if ((failures)); then echo "$failures failures"; exit 1; fi
echo "install and launcher: all checks passed"
