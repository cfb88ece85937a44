// Playing a move-list entry on a board and taking it back: the one way every
// search, the filter and the trainer change the squares for a move.
#pragma once

#include "rules/position.h"

namespace chess {

// The from-square becomes empty, then the code on the to-square is saved and
// the to-square gets PlacedPiece. Returns the saved code (the captured piece,
// or NoPiece), which TakeBackMove needs. (For an entry no generator makes,
// whose two squares are one, the order matters: the piece is gone.)
inline PieceCode PlayMove(BoardCellsArray& board, const Move& move) {
    board[move.FromFile][move.FromRow] = NoPiece;
    const PieceCode captured = board[move.ToFile][move.ToRow];
    board[move.ToFile][move.ToRow] = move.PlacedPiece;
    return captured;
}

// Puts MovedPiece back on the from-square, then `captured` on the to-square.
inline void TakeBackMove(BoardCellsArray& board, const Move& move, PieceCode captured) {
    board[move.FromFile][move.FromRow] = move.MovedPiece;
    board[move.ToFile][move.ToRow] = captured;
}

}  // namespace chess
