// Judging the position a user's move produced.
#include "problems/judging.h"

namespace problems {

void Judge::JudgeMove() {
    Rules.GenerateLegalMoves();
    View.FillMoveTable();
    if (Rules.MoveCount != 0 || Rules.SideToMove != chess::Black) return;
    Rules.IsBlackKingAttacked();
    if (Rules.InCheck == 1) {
        View.ShowMessage(MateMessageTitle, MateMessageText);
        Verdict = MateVerdict;
    } else {
        Verdict = StalemateVerdict;
    }
}

void Judge::RestoreProblem() {
    for (int file = chess::FirstSquare; file <= chess::LastSquare; ++file) {
        for (int row = chess::FirstSquare; row <= chess::LastSquare; ++row) {
            Rules.Board[file][row] = Search.ProblemBoard[file][row];
        }
    }
    Rules.SideToMove = chess::White;
}

}  // namespace problems
