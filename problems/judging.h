// Judging the user's move.
#pragma once

#include <cstdint>
#include <string>

#include "problems/mate_test.h"
#include "problems/trainer_view.h"
#include "rules/position.h"

namespace problems {

inline constexpr const char* MateVerdict = "mat";
inline constexpr const char* StalemateVerdict = "pat";

// The message after a mating move: an empty title and this text.
inline constexpr const char* MateMessageTitle = "";
inline constexpr const char* MateMessageText = "Правильно!";

struct Judge {
    Judge(chess::Position& rules, MateSearch& search, TrainerView& view) : Rules(rules), Search(search), View(view) {}

    chess::Position& Rules;
    MateSearch& Search;
    TrainerView& View;

    std::string Verdict = MateVerdict;  // "mat" at start-up: the first pass makes a problem
    std::int32_t MoveMade = 0;

    // Lists the legal moves of SideToMove; when Black has none, tells mate
    // ("Правильно!", then "mat") from stalemate ("pat").
    void JudgeMove();
    // Copies ProblemBoard back onto the board; White to move.
    void RestoreProblem();
};

}  // namespace problems
