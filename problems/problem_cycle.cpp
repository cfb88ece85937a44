// What the main loop does with a verdict: the next problem after a mate, the
// problem put back after a wrong move.
#include "problems/problem_cycle.h"

namespace problems {

bool ProblemCycle::BeginPass() {
    if (Judging.Outcome != Verdict::Mate) return true;
    Judging.Outcome = Verdict::Pending;
    Judging.MoveMade = false;
    Rules.SetSideToMove(rules::White);
    Run.GenerateProblem();
    if (Run.GaveUp) return false;
    Judging.JudgeMove();
    return true;
}

void ProblemCycle::AfterEventWait() {
    if (Judging.MoveMade && Judging.Outcome == Verdict::Pending) {
        View.ShowMessage(WrongMoveTitle, BlackCanReplyText);
        PutProblemBack();
    }
    if (Judging.MoveMade && Judging.Outcome == Verdict::Stalemate) {
        Judging.Outcome = Verdict::Pending;
        View.ShowMessage(WrongMoveTitle, StalemateText);
        PutProblemBack();
    }
}

void ProblemCycle::PutProblemBack() {
    Judging.RestoreProblem();
    Judging.MoveMade = false;
    View.DrawBoard();
    Judging.Moves = Rules.LegalMoves();
    View.FillMoveTable(Judging.Moves);
}

}  // namespace problems
