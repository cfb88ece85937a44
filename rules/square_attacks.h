// Whether a king standing on a given square is attacked: the look shared by
// the attack tests and the legal-move filter.
#pragma once

#include "rules/position.h"

namespace chess {

struct Step {
    int file;
    int row;
};

// The lines walked from a king: four straight ones, then four diagonals.
constexpr std::array<Step, 4> StraightLines = {{{-1, 0}, {+1, 0}, {0, -1}, {0, +1}}};
constexpr std::array<Step, 4> DiagonalLines = {{{-1, -1}, {+1, +1}, {-1, +1}, {+1, -1}}};

// The squares from which a knight reaches a given square.
constexpr std::array<Step, 8> KnightSquares = {{
    {-2, -1}, {-2, +1}, {+2, -1}, {+2, +1}, {-1, -2}, {-1, +2}, {+1, -2}, {+1, +2},
}};

// An enemy pawn attacks diagonally forward, so it stands one row toward the
// enemy's side of the king: row y - 1 for the White king (Black pawns move
// toward row 8), row y + 1 for the Black king.
template <Side Us>
constexpr int EnemyPawnRow(int kingRow) {
    return kingRow - Us;
}

// True when a piece of the other colour attacks the king of colour Us that
// stands on (x, y). Sliders are looked for along the lines from the king's
// square: empty squares and the king itself let a line go on, any other
// piece of either colour ends it.
template <Side Us>
bool KingAttackedOn(const BoardCellsArray& board, int x, int y) {
    constexpr PieceCode ownKing = King * Us;
    constexpr PieceCode them = -Us;

    // Single-square looks first: the other king, knights, pawns.
    for (int file = x - 1; file <= x + 1; ++file) {
        for (int row = y - 1; row <= y + 1; ++row) {
            if (IsOnBoard(file, row) && board[file][row] == King * them) return true;
        }
    }
    for (const Step jump : KnightSquares) {
        const int file = x + jump.file;
        const int row = y + jump.row;
        if (IsOnBoard(file, row) && board[file][row] == Knight * them) return true;
    }
    const int pawnRow = EnemyPawnRow<Us>(y);
    for (const int file : {x - 1, x + 1}) {
        if (IsOnBoard(file, pawnRow) && board[file][pawnRow] == Pawn * them) return true;
    }

    auto lineAttacked = [&](Step step, PieceCode sliderKind) {
        for (int file = x, row = y; IsOnBoard(file, row); file += step.file, row += step.row) {
            const PieceCode code = board[file][row];
            if (code == sliderKind * them || code == Queen * them) return true;
            if (code != NoPiece && code != ownKing) return false;
        }
        return false;
    };
    for (const Step step : StraightLines) {
        if (lineAttacked(step, Rook)) return true;
    }
    for (const Step step : DiagonalLines) {
        if (lineAttacked(step, Bishop)) return true;
    }
    return false;
}

}  // namespace chess
