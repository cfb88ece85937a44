// En passant, for searches that play more than one move from a set position:
// the trainer's own move lists know no en passant (a set position has no
// square to take on), so this stays apart from the generators.
#pragma once

#include "rules/position.h"

namespace chess {

// The square a pawn's double step passed over, where the other side may take
// it on the very next move; File 0 when the last move was no double step.
struct EnPassantSquare {
    int File = 0;
    int Row = 0;
};

// The square left by `move` when it is a pawn's double step, else none.
EnPassantSquare SquarePassedBy(const Move& move);

// True when `move`, about to be played on `board`, is a pawn's diagonal step
// onto an empty square: an en-passant capture.
bool IsEnPassantCapture(const BoardCellsArray& board, const Move& move);

// Appends to position.MoveList, after its entry MoveCount, every en-passant
// capture of position.SideToMove onto `square` that leaves his king
// unattacked. The board is the same afterwards; InCheck and the king squares
// are those of the last trial.
void AddEnPassantCaptures(Position& position, EnPassantSquare square);

}  // namespace chess
