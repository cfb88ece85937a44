// Thinning: one piece at a time, kept off when the problem stays sound.
#include "problems/thin_problem.h"

#include <cstdlib>

namespace problems {
namespace {

constexpr int SoundThinningPasses = 2;

// Takes off, in scan order, each piece the problem stays sound without;
// returns how many came off.
int ThinningPass(MateSolver& solver, rules::BoardCellsArray& board, int moves, const rules::Move& key) {
    const rules::PieceCode kind = std::abs(key.PlacedPiece);
    int taken = 0;
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            const rules::PieceCode piece = board[file][row];
            if (piece == rules::NoPiece || std::abs(piece) == rules::King) continue;
            if (file == key.FromFile && row == key.FromRow) continue;  // the key's own piece
            board[file][row] = rules::NoPiece;
            rules::Move found;
            if (solver.Judge(board, moves, kind, found) != MateVerdict::Sound || found != key) {
                board[file][row] = piece;
            } else {
                ++taken;
            }
        }
    }
    return taken;
}

}  // namespace

void ThinProblem(MateSolver& solver, rules::BoardCellsArray& board, int moves, const rules::Move& key,
                 ProblemStyle style) {
    if (style == ProblemStyle::Sound) {
        for (int pass = 0; pass < SoundThinningPasses; ++pass) ThinningPass(solver, board, moves, key);
        return;
    }
    while (ThinningPass(solver, board, moves, key) > 0) {}
}

}  // namespace problems
