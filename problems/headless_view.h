// A TrainerView without a window, for tests, tools and benchmarks: it records
// what a window would have shown.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "problems/trainer_view.h"

namespace problems {

class HeadlessView : public TrainerView {
  public:
    struct Message {
        std::string Title;
        std::string Text;
    };

    std::int32_t LastAttemptCount = 0;  // the number the status label would show
    long AttemptCountUpdates = 0;
    int DrawBoardCalls = 0;
    int FillMoveTableCalls = 0;
    int ListedMoves = 0;  // the number of moves the last FillMoveTable showed
    int GiveUpCalls = 0;
    std::vector<Message> Messages;

    void ShowAttemptCount(std::int32_t attempts) override {
        LastAttemptCount = attempts;
        ++AttemptCountUpdates;
    }
    void DrawBoard() override { ++DrawBoardCalls; }
    void FillMoveTable(const rules::MoveList& moves) override {
        ++FillMoveTableCalls;
        ListedMoves = moves.Count();
    }
    void ShowMessage(const std::string& title, const std::string& text) override { Messages.push_back({title, text}); }
    void GiveUp() override { ++GiveUpCalls; }
};

}  // namespace problems
