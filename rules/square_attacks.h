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

// How many steps a line from each square can go before it leaves the board,
// for the lines of StraightLines (0..3) and then DiagonalLines (4..7).
constexpr int KingLineCount = 8;
using EdgeDistanceTable = std::array<std::array<std::array<int, KingLineCount>, BoardCells>, BoardCells>;
constexpr EdgeDistanceTable MakeEdgeDistances() {
    EdgeDistanceTable table{};
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            for (int line = 0; line < KingLineCount; ++line) {
                const Step step = line < 4 ? StraightLines[line] : DiagonalLines[line - 4];
                int steps = 0;
                while (IsOnBoard(file + step.file * (steps + 1), row + step.row * (steps + 1))) ++steps;
                table[file][row][line] = steps;
            }
        }
    }
    return table;
}
constexpr EdgeDistanceTable EdgeDistances = MakeEdgeDistances();

// True when a piece of the other colour attacks the king of colour Us that
// stands on (x, y), a square of the board. Sliders are looked for along the
// lines from the king's square: empty squares (and a king of colour Us)
// let a line go on, any other piece of either colour ends it. The looks one square beside the king may
// fall on the border ring, which always holds 0 and so never an attacker.
template <Side Us>
bool KingAttackedOn(const BoardCellsArray& board, int x, int y) {
    constexpr PieceCode them = -Us;

    // Single-square looks first: the other king, knights, pawns.
    for (int file = x - 1; file <= x + 1; ++file) {
        for (int row = y - 1; row <= y + 1; ++row) {
            if (board[file][row] == King * them) return true;
        }
    }
    for (const Step jump : KnightSquares) {
        const int file = x + jump.file;
        const int row = y + jump.row;
        if (IsOnBoard(file, row) && board[file][row] == Knight * them) return true;
    }
    const int pawnRow = EnemyPawnRow<Us>(y);
    if (board[x - 1][pawnRow] == Pawn * them || board[x + 1][pawnRow] == Pawn * them) return true;

    const std::array<int, KingLineCount>& edge = EdgeDistances[x][y];
    auto lineAttacked = [&](Step step, int steps, PieceCode sliderKind) {
        int file = x;
        int row = y;
        for (; steps > 0; --steps) {
            file += step.file;
            row += step.row;
            const PieceCode code = board[file][row];
            if (code == NoPiece || code == King * Us) continue;  // a king of its own colour lets the line go on
            return code == sliderKind * them || code == Queen * them;
        }
        return false;
    };
    for (int line = 0; line < 4; ++line) {
        if (lineAttacked(StraightLines[line], edge[line], Rook)) return true;
    }
    for (int line = 0; line < 4; ++line) {
        if (lineAttacked(DiagonalLines[line], edge[4 + line], Bishop)) return true;
    }
    return false;
}

}  // namespace chess
