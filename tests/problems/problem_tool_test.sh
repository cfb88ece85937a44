#!/usr/bin/env bash
# Runs problem-tool's mates, generate and bench subcommands as a user would
# and checks their output, and that bad input gets one line on stderr and
# exit status 2.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../support/problem_tool_checks.sh"

# Two mates (Ra1-a8, Qb1-b8); a knight promotion as the only mate; no move.
expect_output $'MateCount 2\nMatePiece 9\nЛa1-a8\nФb1-b8' mates "7k/8/6K1/8/8/8/8/RQ6 w - -"
expect_output $'MateCount 1\nMatePiece 3\nf7-f8К' mates "6bn/5Ppk/6pp/8/8/8/8/K7 w - -"
expect_output $'MateCount 0\nMatePiece 0' mates "7k/8/8/8/8/8/2q5/K7 w - -"
# The one mate e2-e4 is answered by d4xe3 en passant: the tool says so, and
# only where the rule applies (a checking d2-d4 beside another mate, a mate
# by a double step that no pawn can take).
expect_output $'MateCount 1\nMatePiece 2\nthe one mate is a double step that Black answers by taking en passant: no problem\ne2-e4' \
  mates "8/1B6/3Q4/5k2/3p3K/8/4P3/8 w - - 0 1"
expect_output $'MateCount 1\nMatePiece 5\nЛd7-d5' mates "7N/2pRK3/2B2p2/4k2p/1p2pp2/1p3p2/PPPPPPPP/Q7 w - - 0 1"
expect_output $'MateCount 1\nMatePiece 2\ne2-e4' mates "8/1B6/3Q4/5k2/2p4K/8/4P3/8 w - - 0 1"
expect_rejection mates "7k/8/8/8/8/8/8/K6 w - -"
expect_rejection mates

# The settings file's example: two white pawns, a knight, a bishop, a queen;
# three black pawns, a bishop, a rook; cells of 50; king distance 1; pawns up
# to rank 4; mate by the queen.
example="$work/set_figure.txt"
printf '2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n' >"$example"
first=$("$tool" generate "$example" 5 42)
second=$("$tool" generate "$example" 5 42)
[[ "$first" == "$second" ]] || fail "generate with one seed gave [$first] and [$second]"
[[ $(printf '%s\n' "$first" | wc -l) -eq 5 ]] || fail "generate 5: [$first]"
while IFS=$'\t' read -r fen solution attempts; do
  [[ "$fen" =~ ^[1-8KQRBNPkqrbnp/]+\ w\ -\ -\ 0\ 1$ ]] || fail "generate: FEN [$fen]"
  [[ "$solution" == Ф* ]] || fail "generate: solution [$solution] is no queen move"
  [[ "$attempts" =~ ^[1-9][0-9]*$ ]] || fail "generate: attempts [$attempts]"
  # The problem has exactly this one mate.
  expect_output "$(printf 'MateCount 1\nMatePiece 9\n%s' "$solution")" mates "$fen"
done <<<"$first"
[[ "$("$tool" generate "$example" 3 43)" != "$first" ]] || fail "another seed gave the same problems"

# Only the kings: no problem can arise.
kings="$work/kings.txt"
printf '0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n50\n0\n2\nлюбая\n' >"$kings"
expect_output "no problem within 30000 attempts" generate "$kings" 1 7

bench=$("$tool" bench "$example" 1)
[[ "$bench" == *"attempts per second "* && "$bench" == *"time to a problem: median "* ]] || fail "bench: [$bench]"

expect_rejection generate "$work/missing.txt" 1
[[ ! -e "$work/missing.txt" ]] || fail "generate created a missing settings file"
expect_rejection generate "$example" 0
expect_rejection generate "$example" 2 seed
expect_rejection generate "$example"
expect_rejection bench "$example" 0
expect_rejection bench "$example"

finish_checks
