// Judging the position a user's move produced.
#include "problems/judging.h"

namespace problems {

void Judge::JudgeMove() {
    Moves = Rules.LegalMoves();
    View.FillMoveTable(Moves);
    if (Rules.SideToMove() != rules::Black) return;
    if (Rules.IsMate()) {
        View.ShowMessage(MateMessageTitle, MateMessageText);
        Outcome = Verdict::Mate;
    } else if (Rules.IsStalemate()) {
        Outcome = Verdict::Stalemate;
    }
}

void Judge::RestoreProblem() {
    Rules = Search.ProblemBoard;
    Rules.SetSideToMove(rules::White);
}

}  // namespace problems
