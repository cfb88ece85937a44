#!/usr/bin/env bash
# The manual pages and the README say what vindolar-sheets does: both pages
# render without a warning; every option of --help is in both synopses, in
# both option lists and in the README; the budgets that --help names are the
# ones the pages, the README and the message of exit status 1 give; a
# --moves other than 1, 2 or 3 exits 2; and a sheet of two-movers passes the
# checks that the pages show, run as they are written there (stockfish's
# only where it is installed).
#
#   manual_pages_test.sh PROGRAM SOURCE_DIR
set -uo pipefail
program=$1
source=$2
english=$source/programs/desktop/vindolar-sheets.1
russian=$source/programs/desktop/vindolar-sheets.ru.1
readme=$source/README.md
export PATH=$PATH:/usr/games LC_ALL=C.UTF-8
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2

# The groff source as text: "\-" is a hyphen, "\(aq" a quote, "\e" a backslash.
plain() { sed -e 's/\\-/-/g' -e "s/\\\\(aq/'/g" -e 's/\\e/\\/g' "$1"; }
# The lines of section $2 of page $1, without its heading.
section() { plain "$1" | awk -v name="$2" '/^\.SH / { inside = $0 == ".SH " name; next } inside'; }
# The lines between .nf and .fi of that section, each block ended by a line "--".
examples() { section "$1" "$2" | awk '/^\.nf/ { inside = 1; next } /^\.fi/ { inside = 0; print "--"; next } inside'; }

# --- rendering ---
if command -v groff > /dev/null; then
  for page in "$english" "$russian"; do
    warnings=$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)
    [[ -z $warnings ]] || fail "$(basename "$page") renders with warnings: $warnings"
  done
else
  echo "no groff: the pages' rendering is not checked"
fi

# --- the options of --help ---
help=$("$program" --help) || fail "--help exits $?"
mapfile -t options < <(grep -o -- '--[a-z][a-z-]*' <<< "$help" | sort -u)
((${#options[@]} >= 10)) || fail "--help names only ${#options[@]} options"
for option in "${options[@]}"; do
  for page in "$english" "$russian"; do
    name=$(basename "$page")
    text=$(plain "$page")
    # An entry of the option list: a .TP line, then the option in bold.
    awk -v option="$option" 'previous == ".TP" && ($2 == option) { found = 1 } { previous = $0 }
      END { exit !found }' <<< "$text" || fail "$name has no entry for $option"
    if [[ $option != --help ]]; then
      grep -q -- "^\.RB \[ $option\( \|$\)" <<< "$text" || fail "the synopsis of $name lacks $option"
    fi
  done
  [[ $option == --help ]] || grep -q -F -- "[$option" "$readme" || fail "the README's synopsis lacks $option"
done

# --- the budgets: --help, the pages, the README and the message of a run that ran out ---
budgets=$(tail -n 1 <<< "$help")
[[ $budgets =~ ([0-9]+)\ .*--moves\ 2\ и\ 3:\ ([0-9]+) ]] || fail "--help's last line names no budgets: $budgets"
one=${BASH_REMATCH[1]:-none}
two=${BASH_REMATCH[2]:-none}
for page in "$english" "$russian"; do
  status_section=$(section "$page" "EXIT STATUS"; section "$page" '"КОД ВОЗВРАТА"')
  for budget in "$one" "$two"; do
    grep -q -w "$budget" <<< "$status_section" || fail "the exit statuses of $(basename "$page") do not say $budget"
  done
done
grep -q "$one positions per problem asked for (${two} per problem with" "$readme" ||
  fail "the README does not give the budgets $one and $two"

printf '0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n50\n0\n2\nлюбая\n' > kings.txt
for moves in 1 2 3; do
  budget=$([[ $moves == 1 ]] && echo "$one" || echo "$two")
  "$program" --settings kings.txt --moves "$moves" --count 1 --seed 1 --pgn k.pgn 2> err.txt
  status=$?
  ((status == 1)) || fail "--moves $moves with only the kings exits $status, not 1"
  grep -q "за $budget позиций" err.txt || fail "--moves $moves: the message does not say $budget: $(cat err.txt)"
  [[ ! -e k.pgn ]] || fail "--moves $moves: a run that ran out wrote its PGN"
done
grep -q "(не больше $two на задачу)" err.txt || fail "the three-mover message does not name the budget: $(cat err.txt)"

# --- --moves takes 1, 2 or 3 only ---
for moves in 0 4 12 -1 x ""; do
  "$program" --settings kings.txt --moves "$moves" --pgn bad.pgn 2> err.txt
  status=$?
  ((status == 2)) || fail "--moves «$moves» exits $status, not 2"
  [[ $(wc -l < err.txt) == 1 ]] && grep -q -- '--moves' err.txt || fail "--moves «$moves»: $(cat err.txt)"
  [[ ! -e bad.pgn ]] || fail "--moves «$moves» wrote a file"
done

# --- the pages' checks of a sheet of two-movers, as the English page writes them ---
count=12
"$program" --settings "$source/data/set_figure.example.txt" --moves 2 --count "$count" --seed 7 \
  --pgn mate2.pgn --epd mate2.epd || fail "the two-mover sheet exits $?"
[[ $(grep -c '^\[Event "Мат в 2 хода"\]$' mate2.pgn) == "$count" ]] || fail "the default title is not «Мат в 2 хода»"
[[ $(grep -c ' dm 2; ' mate2.epd) == "$count" ]] || fail "the EPD lines lack dm 2"
blocks=$(examples "$english" "CHECKING A SHEET")
# The same commands in both pages; only the comments are translated.
[[ $(sed 's/ *#.*//' <<< "$blocks") == "$(examples "$russian" '"ПРОВЕРКА ЛИСТА"' | sed 's/ *#.*//')" ]] ||
  fail "the two pages check a sheet with different commands"
pgn_check=$(awk '/^--$/ { exit } { print }' <<< "$blocks")
stockfish_check=$(awk 'blocks == 1 && !/^--$/ { print } /^--$/ { ++blocks }' <<< "$blocks")
grep -q pgn-extract <<< "$pgn_check" && grep -q stockfish <<< "$stockfish_check" ||
  fail "the English page shows no pgn-extract and stockfish checks"
if command -v pgn-extract > /dev/null; then
  output=$(bash -c "$pgn_check" 2> err.txt)
  [[ $output == "$count" && ! -s err.txt ]] || fail "pgn-extract's check: «$output», $(cat err.txt)"
else
  fail "no pgn-extract"
fi
if command -v stockfish > /dev/null; then
  output=$(bash -c "$stockfish_check" 2>&1)
  [[ $(grep -c -E '^[0-9]+: mate 2, [a-h][1-8][a-h][1-8][qrbn]?$' <<< "$output") == "$count" ]] ||
    fail "stockfish's check: $output"
else
  echo "no stockfish: the EPD check of the pages is not run"
fi

((failures == 0)) || exit 1
echo "manual pages, README and --help agree"
