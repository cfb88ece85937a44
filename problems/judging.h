// Judging the user's move.
#pragma once

#include <cstdint>

#include "problems/mate_search.h"
#include "problems/trainer_view.h"
#include "rules/position.h"

namespace problems {

// What the last judged move did: mated Black, stalemated him, or neither (no
// verdict pending). Mate is also the verdict at start-up: the first pass of
// the main loop makes a problem.
enum class Verdict { Pending, Mate, Stalemate };

// The message after a mating move: an empty title and this text.
inline constexpr const char* MateMessageTitle = "";
inline constexpr const char* MateMessageText = "Правильно!";

struct Judge {
    Judge(rules::Position& rules, MateSearch& search, TrainerView& view) : Rules(rules), Search(search), View(view) {}

    rules::Position& Rules;
    MateSearch& Search;
    TrainerView& View;

    Verdict Outcome = Verdict::Mate;
    bool MoveMade = false;  // a user move was committed and the main loop has not dealt with it yet
    rules::MoveList Moves;  // the legal moves of the side to move, as the move table lists them

    // Lists the legal moves of the side to move; when Black has none, tells
    // mate ("Правильно!", then Verdict::Mate) from stalemate.
    void JudgeMove();
    // Puts the problem back on the board; White to move.
    void RestoreProblem();
};

}  // namespace problems
