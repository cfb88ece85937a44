// The legal moves of the side to move.
#include "rules/position.h"

namespace chess {

void Position::GenerateLegalMoves() {
    if (SideToMove == White) {
        GenerateWhiteMoves();
    } else if (SideToMove == Black) {
        GenerateBlackMoves();
    } else {
        MoveCount = 0;
        return;
    }
    FilterLegalMoves();
}

}  // namespace chess
