// Standard algebraic notation, the move text of PGN and EPD files: English
// piece letters, a from-square only where another legal move needs telling
// apart, "x" for a capture, "=Q" for a promotion, "+" for check, "#" for mate.
#pragma once

#include <string>

#include "rules/position.h"

namespace rules {

// The letter of a piece kind in standard algebraic notation ('N', 'B', 'R',
// 'Q', 'K'); '\0' for the pawn, which has none.
char AlgebraicLetter(PieceCode kind);

// The notation of `move`, a legal move of the side to move in `position`
// ("Nbd7", "R1e2", "exd5", "e8=Q+", "Qh7#"; a capture en passant is written
// as the pawn's capture onto the square it goes to, "exd6"). The other legal
// moves decide which part of the from-square is written, and the move is
// played on a copy of the position to decide the check mark.
std::string AlgebraicNotation(const Position& position, const Move& move);

}  // namespace rules
