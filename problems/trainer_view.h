// What the generation run and the judging ask of the trainer's window. The
// trainer fills this in; tests and tools use a headless one.
#pragma once

#include <cstdint>
#include <string>

#include "rules/position.h"

namespace problems {

class TrainerView {
  public:
    virtual ~TrainerView() = default;

    // After every attempt of a generation run: show the status text for this
    // count (AttemptStatusText) and let the window carry out pending repaints.
    virtual void ShowAttemptCount(std::int32_t attempts) = 0;
    // Paint the 64 squares from the board.
    virtual void DrawBoard() = 0;
    // Show these moves in the list of possible moves.
    virtual void FillMoveTable(const rules::MoveList& moves) = 0;
    // A modal message box with a title, a text and one OK button; returns
    // when the user has closed it.
    virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
    // The attempt limit was reached and its message closed: start the
    // settings editor and end the trainer. A headless view just records it;
    // the generation run then returns without a problem.
    virtual void GiveUp() = 0;
};

}  // namespace problems
