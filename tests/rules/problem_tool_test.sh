#!/usr/bin/env bash
# Runs problem-tool's moves and perft subcommands as a user would and checks
# their output, and that bad input gets one line on stderr and exit status 2.
set -u
tool=$1
source "$(dirname "$0")/../support/problem_tool_checks.sh"

expect_output $'a7-a8К\na7-a8С\na7-a8Л\na7-a8Ф\nКb1-d2\nКb1-a3\nКb1-c3\nКрh1-g2\nКрh1-g1\nКрh1-h2' \
  moves "7k/P7/8/8/8/8/8/1N5K w - -"
expect_output $'Крe1-d2\nКрe1-e2\nКрe1-f2' moves "7k/8/8/8/8/8/8/r3K3 w - - 0 1"
expect_output "" moves "7k/5Q2/6K1/8/8/8/8/8 b - -"
expect_output 79355 perft "8/PPPk4/8/8/8/8/4Kppp/8 w - -" 4
expect_output 20 perft "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1" 1

# Castling rights are read and ignored; the trainer's rules know no en
# passant, so a square in the FEN is refused.
expect_output $'Крe1-d2\nКрe1-d1\nКрe1-e2\nКрe1-f2\nКрe1-f1' moves "4k3/8/8/8/8/8/8/4K3 w KQ -"
expect_rejection moves "4k3/8/8/8/8/8/8/4K3 w KX -"
expect_rejection perft "4k3/8/8/8/3pP3/8/8/4K3 b - e3" 2
expect_rejection moves "4k3/8/8/8/8/8/4K3 w - -"
expect_rejection moves "4k3/8/8/8/8/8/8/4K3 w - e3"
expect_rejection moves "4k3/8/8/8/8/8/8/4KK2 w - -"
expect_rejection moves "4k3/8/8/8/8/8/8/4Kx2 w - -"
expect_rejection moves "4k3/8/8/8/8/8/8/p3K3 w - -"
expect_rejection moves ""
expect_rejection moves
expect_rejection perft "4k3/8/8/8/8/8/8/4K3 w - -" 0
expect_rejection perft "4k3/8/8/8/8/8/8/4K3 w - -" 7
expect_rejection perft "4k3/8/8/8/8/8/8/4K3 w - -" x
expect_rejection perft "4k3/8/8/8/8/8/8/4K3 w - -" 12
expect_rejection perft "4k3/8/8/8/8/8/8/4K3 w - -"
expect_rejection perft "4k3/8/8/8/8/8/8/4K3 w - -/" 2

finish_checks
