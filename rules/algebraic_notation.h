// Standard algebraic notation, the move text of PGN and EPD files: English
// piece letters, a from-square only where another legal move needs telling
// apart, "x" for a capture, "=Q" for a promotion, "+" for check, "#" for mate.
#pragma once

#include <string>
#include <vector>

#include "rules/position.h"

namespace rules {

// The letter of a piece kind in standard algebraic notation ('N', 'B', 'R',
// 'Q', 'K'); '\0' for the pawn, which has none.
char AlgebraicLetter(PieceCode kind);

// The notation of `move`, a legal move of the side to move in `position`
// ("Nbd7", "R1e2", "exd5", "e8=Q+", "Qh7#"). The other legal moves decide
// which part of the from-square is written, and the move is played on a copy
// of the position to decide the check mark.
std::string AlgebraicNotation(const Position& position, const Move& move);

// The same text for rules that know more than the position does (en passant):
// the caller tells whether the move captures, gives the check mark ("", "+"
// or "#") and the legal moves that decide the from-square part.
std::string AlgebraicText(const Move& move, const std::vector<Move>& legalMoves, bool capture,
                          const std::string& checkMark);

}  // namespace rules
