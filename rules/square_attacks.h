// Whether a king standing on a given square is attacked: the look shared by
// the attack tests and the legal-move filter.
#pragma once

#include "rules/directions.h"
#include "rules/position.h"

namespace chess {

// An enemy pawn attacks diagonally forward, so it stands one row toward the
// enemy's side of the king: row y - 1 for the White king (Black pawns move
// toward row 8), row y + 1 for the Black king.
template <Side Us>
constexpr int EnemyPawnRow(int kingRow) {
    return kingRow - Us;
}

// How many steps each line of AttackLines can go from each square before it
// leaves the board.
using EdgeDistanceTable = std::array<std::array<std::array<int, DirectionCount>, BoardCells>, BoardCells>;
constexpr EdgeDistanceTable MakeEdgeDistances() {
    EdgeDistanceTable table{};
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            for (int line = 0; line < DirectionCount; ++line) {
                const Step step = AttackLines[line];
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
    for (const Step jump : KnightAttackJumps) {
        const int file = x + jump.file;
        const int row = y + jump.row;
        if (IsOnBoard(file, row) && board[file][row] == Knight * them) return true;
    }
    const int pawnRow = EnemyPawnRow<Us>(y);
    if (board[x - 1][pawnRow] == Pawn * them || board[x + 1][pawnRow] == Pawn * them) return true;

    const std::array<int, DirectionCount>& edge = EdgeDistances[x][y];
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
    for (int line = 0; line < DirectionCount; ++line) {
        if (lineAttacked(AttackLines[line], edge[line], line < FirstAttackDiagonal ? Rook : Bishop)) return true;
    }
    return false;
}

}  // namespace chess
