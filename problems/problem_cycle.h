// The problem cycle of the trainer's main loop: what each loop pass does with
// the verdict of the judging. The trainer calls BeginPass at the top of every
// pass and AfterEventWait once its wait for the next window event returns.
#pragma once

#include "problems/generation_run.h"
#include "problems/judging.h"
#include "problems/trainer_view.h"
#include "rules/position.h"

namespace problems {

// The reproach after a wrong move, and the two texts that tell why.
inline constexpr const char* WrongMoveTitle = "Неверно ";
inline constexpr const char* BlackCanReplyText = "Возможные ходы в списке справа  -->";
inline constexpr const char* StalemateText = "Королю пат !";

struct ProblemCycle {
    ProblemCycle(rules::Position& rules, GenerationRun& run, Judge& judge, TrainerView& view)
        : Rules(rules), Run(run), Judging(judge), View(view) {}

    rules::Position& Rules;
    GenerationRun& Run;
    Judge& Judging;
    TrainerView& View;

    // Top of a loop pass. On the verdict Mate (start-up, or the last move
    // mated): clears the verdict and MoveMade, makes the next problem with
    // White to move and lists White's moves. Returns false only when that run
    // gave up at the attempt limit (the trainer then ends).
    bool BeginPass();
    // After the loop's event wait: a committed move that left Black a reply
    // (verdict still pending) or stalemated him gets its "Неверно " message;
    // then the problem is put back and White's moves listed again.
    void AfterEventWait();

  private:
    void PutProblemBack();
};

}  // namespace problems
