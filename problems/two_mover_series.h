// A set of distinct sound two-movers for a worksheet: random positions from
// the trainer's own builder and settings, each judged by the full two-mover
// search and thinned, on every core at once. The set depends only on the
// settings, the seed and the count asked for, never on how the threads run.
#pragma once

#include <cstdint>
#include <vector>

#include "problems/problem_series.h"
#include "settings/settings.h"

namespace problems {

// A set may use this many random positions per two-mover asked for, in all.
constexpr std::int64_t TwoMoverAttemptsPerProblem = 10000;

// The random positions are dealt out in blocks of this many, each built
// from a seed of its own: the unit of work of one thread.
constexpr int TwoMoverBlockSize = 64;

struct TwoMoverCost {
    std::int64_t Judged = 0;       // positions the search judged, thinning included
    std::int64_t MovesPlayed = 0;  // moves it played for them
};

class TwoMoverSeries {
  public:
    // `config` as the trainer's settings reader leaves it; FirstMovePiece is
    // the kind of every key, or 0 ("любая") for keys of any kind. `threads`
    // 0 means one per core.
    TwoMoverSeries(const settings::TrainerSettings& config, std::uint64_t seed, int threads = 0);

    // Adds two-movers until `asked` distinct ones are in Problems, in the
    // order of the random positions they were made from. False when the
    // budget (asked x TwoMoverAttemptsPerProblem) ran out first; Problems
    // then holds those found. Like a set of mates in one it ends at once
    // when the pieces cannot be placed, and after one two-mover's share of
    // the budget when that found none. `progress` may be null.
    bool Draw(int asked, SeriesProgress* progress);

    std::vector<SeriesProblem> Problems;
    std::int64_t AttemptsUsed = 0;  // random positions up to the last problem kept (or the budget)
    int RepeatsSkipped = 0;         // two-movers that repeated an earlier one
    TwoMoverCost Cost;              // the work of the last Draw, over all threads (beyond what was kept, too)
    DrawEnd LastEnd = DrawEnd::Complete;

  private:
    settings::TrainerSettings Config;
    std::uint64_t Seed;
    int Threads;
};

// The position `board` thinned: every piece but the kings is taken off, in
// scan order and twice over, when the position stays a sound two-mover with
// the same key.
void ThinTwoMover(TwoMoverSearch& search, rules::BoardCellsArray& board, const rules::Move& key);

}  // namespace problems
