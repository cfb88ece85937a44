// A set of distinct sound (or composed) problems of mate in n (n >= 2) for a worksheet:
// random positions from the trainer's own builder and settings, each judged
// by the mate solver and thinned, on every core at once. The set depends
// only on the settings, the seed, n and the count asked for, never on how
// many threads run or how they are scheduled.
#pragma once

#include <cstdint>
#include <vector>

#include "problems/mate_solver.h"
#include "problems/problem_series.h"
#include "problems/problem_style.h"
#include "settings/settings.h"

namespace problems {

// A set may use this many random positions per problem of mate in `moves`
// asked for, in all: composed problems are far rarer than sound ones.
[[nodiscard]] std::int64_t AttemptsPerProblem(int moves, ProblemStyle style = ProblemStyle::Sound);

// The random positions are dealt out in blocks of this many, each built
// from a seed of its own: the unit of work of one thread.
constexpr int MateSeriesBlockSize = 64;

struct SeriesCost {
    std::int64_t Judged = 0;  // positions the solver judged, thinning included
    SolverCounters Search;    // the solver's moves by phase, over all threads
    std::int64_t ThinningJudged = 0;
    std::int64_t Rejected = 0;  // sound problems that were not composed ones (with the composed style)
    int Threads = 0;            // the threads that judged blocks (the calling one when none could start)
};

class MateSeries {
  public:
    // `config` as the trainer's settings reader leaves it; FirstMovePiece is
    // the kind of every key, or 0 ("любая") for keys of any kind. `threads`
    // 0 means one per core.
    MateSeries(const settings::TrainerSettings& config, std::uint64_t seed, int moves,
               ProblemStyle style = ProblemStyle::Sound, int threads = 0);

    // Adds problems until `asked` distinct ones are in Problems, in the order
    // of the random positions they were made from. False when the budget
    // (asked x AttemptsPerProblem) ran out first; Problems then holds those
    // found. Like a set of mates in one it ends at once when the pieces
    // cannot be placed, and after one problem's share of the budget when that
    // found none. When a thread cannot be started the set is drawn on those
    // that could, down to the calling thread alone, and is the same.
    // `progress` may be null.
    bool Draw(int asked, SeriesProgress* progress);

    std::vector<SeriesProblem> Problems;
    std::int64_t AttemptsUsed = 0;  // random positions up to the last problem kept (or the budget)
    int RepeatsSkipped = 0;         // problems that repeated an earlier one
    SeriesCost Cost;                // the work of the last Draw (beyond what was kept, too)
    DrawEnd LastEnd = DrawEnd::Complete;
    ProblemFilter Filter;  // problems it turns away cost their attempts and are not kept
    int FilteredOut = 0;   // problems of the last Draw the filter turned away

  private:
    settings::TrainerSettings Config;
    std::uint64_t Seed;
    int Moves;
    ProblemStyle Style;
    int Threads;
};

}  // namespace problems
