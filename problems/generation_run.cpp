// The generation run and the status text it shows after every attempt.
#include "problems/generation_run.h"

namespace problems {

std::string AttemptStatusText(std::int32_t attempts) {
    return "Сгенерировано  " + std::to_string(attempts) + "  позиций";
}

void GenerationRun::GenerateProblem() {
    AttemptCount = 0;
    GaveUp = false;
    for (;;) {
        if (AttemptCount >= Limit) {
            View.ShowMessage(LimitMessageTitle, LimitMessageText);
            GaveUp = true;
            View.GiveUp();
            return;
        }
        Builder.ClearBoard();
        const bool testable = Builder.BuildRandomPosition();
        ++AttemptCount;
        View.ShowAttemptCount(AttemptCount);
        if (!testable) continue;  // a king is attacked, or the pieces did not fit

        Search.MateInOneTest();
        // With "any piece" the kind of the first accepted problem is kept for
        // the rest of the trainer's run.
        if (Config.FirstMovePiece == settings::AnyPieceKind && Search.IsProblem(Search.MatePiece))
            Config.FirstMovePiece = Search.MatePiece;
        if (Search.IsProblem(Config.FirstMovePiece)) {
            Search.ReduceProblem(Config.FirstMovePiece);
            Search.ReduceProblem(Config.FirstMovePiece);
            Rules.SetSideToMove(rules::White);
            View.DrawBoard();
            return;
        }
    }
}

}  // namespace problems
