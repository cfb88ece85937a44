// Positions in Forsyth-Edwards Notation: a worksheet's problems are kept in
// it, and tools and tests read positions from it. FEN rank 8 is row index 1
// and file a is file index 1. The castling field is read and ignored (the
// core knows no castling; problems are made so that it never arises). The
// en-passant field is read: a square kept when a pawn of the side to move
// stands ready to take. The two move counters may be absent.
#pragma once

#include <string>

#include "rules/position.h"

namespace rules {

// Sets the 64 squares and SideToMove from `fen`. On a malformed FEN (not
// eight ranks of eight squares, an unknown letter, not exactly one king of
// each colour, a castling field other than "-" or letters of "KQkq", an
// en-passant field that names no square a double step just passed over, a
// pawn on rank 1 or 8)
// returns false with a one-line reason in `error` and leaves `position` as it was.
bool ParseFen(const std::string& fen, Position& position, std::string& error);

// The FEN of the 64 squares with `sideToMove` (+1 White, -1 Black) to move,
// castling "-", the en-passant square when the position has one and
// `sideToMove` is its side to move ("-" otherwise), counters "0 1".
std::string WriteFen(const Position& position, int sideToMove);

}  // namespace rules
