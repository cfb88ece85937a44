#!/usr/bin/env bash
# One user's first session with the installed package, on an X display
# (run by tools/deb-check.sh as a normal user under xvfb-run): starts the
# launcher from the PATH, checks the window and the working directory, hands
# over to the editor with "Опции" and back with "Сохранить", then closes the
# trainer's window.
set -u
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
dir="$HOME/.local/share/vindolar"

# The top-level window with this exact title, once it is shown (or nothing).
window_named() {
  local id
  for ((i = 0; i < 100; ++i)); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [[ -n $id ]] && { echo "$id"; return; }
    sleep 0.1
  done
}
window_gone() {
  for ((i = 0; i < 100; ++i)); do
    xdotool search --onlyvisible --name "^$1\$" > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}
# Clicks at (x, y) of a window's client area.
click_in() {
  local x y
  eval "$(xdotool getwindowgeometry --shell "$1")"
  x=$((X + $2)) y=$((Y + $3))
  xdotool mousemove --sync "$x" "$y" click 1
}
# The working directory of the running program named $1.
cwd_of() { readlink "/proc/$(pgrep -u "$(id -u)" -x "$1" | head -1)/cwd" 2>/dev/null; }

command -v vindolar > /dev/null || fail "no vindolar on the PATH"
vindolar > "$HOME/session.log" 2>&1 &

trainer=$(window_named "Мат в 1 ход")
[[ -n $trainer ]] || { fail "the trainer's window did not come up"; cat "$HOME/session.log"; exit 1; }
echo "trainer window up: $(xdotool getwindowgeometry "$trainer" | tr '\n' ' ')"
[[ $(cwd_of vindolar) == "$dir" ]] || fail "trainer runs in $(cwd_of vindolar), not $dir"
ls -l "$dir" | sed 's/^/  /'
for name in vindolar quessa JPG; do [[ -L $dir/$name ]] || fail "no link $name"; done
[[ -d $dir/Image && -f $dir/set_figure.txt && -O $dir/set_figure.txt ]] || fail "Image/ or own settings missing"
before=$(md5sum < "$dir/set_figure.txt")

sleep 1  # the first problem
# The board shows the square pictures (light, dark and the pieces' ink), not
# the bare window: the pictures were found and loaded.
colours=$(/usr/bin/python3 - "$trainer" "$(sed -n 11p "$dir/set_figure.txt")" <<'PY'
import sys
from Xlib import X, display
d = display.Display()
w = d.create_resource_object("window", int(sys.argv[1]))
cell = min(max(int(sys.argv[2] or 0), 40), 70)
image = w.get_image(cell, cell, 8 * cell, 8 * cell, X.ZPixmap, 0xFFFFFFFF)
data = image.data
print(len({bytes(data[i:i + 3]) for i in range(0, len(data), 4)}))
PY
)
echo "colours on the board: $colours"
[[ ${colours:-0} -ge 3 ]] || fail "the board shows no square pictures"
click_in "$trainer" 835 672  # "Опции"
window_gone "Мат в 1 ход" || fail "the trainer did not end after Опции"
editor=$(window_named "New window \( 0 \)")
[[ -n $editor ]] || { fail "the editor's window did not come up"; exit 1; }
echo "editor window up; editor runs in $(cwd_of quessa)"
[[ $(cwd_of quessa) == "$dir" ]] || fail "editor not in $dir"

click_in "$editor" 125 495  # "Сохранить"
window_gone "New window \( 0 \)" || fail "the editor did not end after Сохранить"
trainer=$(window_named "Мат в 1 ход")
[[ -n $trainer ]] || { fail "the trainer did not come back"; exit 1; }
echo "trainer back in $(cwd_of vindolar)"
[[ $(md5sum < "$dir/set_figure.txt") == "$before" ]] || fail "saving unchanged values changed the file"

# Close the trainer's window as a window manager would.
/usr/bin/python3 - "$trainer" <<'PY'
import sys
from Xlib import X, display
from Xlib.protocol import event
d = display.Display()
w = d.create_resource_object("window", int(sys.argv[1]))
protocols, delete = d.intern_atom("WM_PROTOCOLS"), d.intern_atom("WM_DELETE_WINDOW")
w.send_event(event.ClientMessage(window=w, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
d.sync()
PY
window_gone "Мат в 1 ход" || fail "the trainer's window did not close"
for ((i = 0; i < 50; ++i)); do
  pgrep -u "$(id -u)" -x 'vindolar|quessa' > /dev/null || break
  sleep 0.1
done
if pgrep -u "$(id -u)" -x 'vindolar|quessa' > /dev/null; then
  fail "programs still running 5 s after the close:"
  ps -o pid,ppid,stat,etime,comm -p "$(pgrep -d, -u "$(id -u)" -x 'vindolar|quessa')"
fi
if [[ -s $HOME/session.log ]]; then echo "programs' output:"; sed 's/^/  /' "$HOME/session.log"; fi

# The worksheet command, run as a coach runs it, from the user's own folder.
command -v vindolar-sheets > /dev/null || fail "no vindolar-sheets on the PATH"
sheet=$(mktemp -d)
(cd "$sheet" && vindolar-sheets --settings "$dir/set_figure.txt" --count 6 --seed 1 --pdf sheet.pdf --pgn sheet.pgn) ||
  fail "vindolar-sheets failed"
[[ $(grep -c '^\[FEN ' "$sheet/sheet.pgn" 2>/dev/null) == 6 ]] || fail "vindolar-sheets did not write 6 games"
[[ $(head -c 5 "$sheet/sheet.pdf" 2>/dev/null) == %PDF- ]] || fail "vindolar-sheets did not write a PDF"
for command in vindolar vindolar-sheets; do
  # man itself is not part of a minimal system; the pages are there all the same.
  [[ -f /usr/share/man/man1/$command.1.gz && -f /usr/share/man/ru/man1/$command.1.gz ]] ||
    fail "no manual pages for $command"
  if command -v man > /dev/null; then
    man -w "$command" > /dev/null 2>&1 || fail "man does not find $command"
  fi
done
rm -rf "$sheet"

if ((failures)); then echo "$failures failures"; exit 1; fi
echo "session: all checks passed"
