// What the main loop does with a verdict: the next problem after a mate, the
// problem put back after a wrong move.
#include "problems/problem_cycle.h"

namespace problems {

bool ProblemCycle::BeginPass() {
    if (Judging.Verdict != MateVerdict) return true;
    Judging.Verdict.clear();
    Judging.MoveMade = 0;
    Rules.SideToMove = chess::White;
    Run.GenerateProblem();
    if (Run.GaveUp) return false;
    Judging.JudgeMove();
    return true;
}

void ProblemCycle::AfterEventWait() {
    if (Judging.MoveMade == 1 && Judging.Verdict.empty()) {
        View.ShowMessage(WrongMoveTitle, BlackCanReplyText);
        PutProblemBack();
    }
    if (Judging.MoveMade == 1 && Judging.Verdict == StalemateVerdict) {
        Judging.Verdict.clear();
        View.ShowMessage(WrongMoveTitle, StalemateText);
        PutProblemBack();
    }
}

void ProblemCycle::PutProblemBack() {
    Judging.RestoreProblem();
    Judging.MoveMade = 0;
    View.DrawBoard();
    Rules.GenerateLegalMoves();
    View.FillMoveTable();
}

}  // namespace problems
