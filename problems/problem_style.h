// What a set of problems of mate in n asks of each problem beyond soundness.
#pragma once

namespace problems {

enum class ProblemStyle {
    // One key, no shorter mate: every sound problem.
    Sound,
    // A problem a composer would sign: a quiet key that takes no flight
    // square, no dual anywhere in the solution, at least two defences met
    // by different moves, and no piece but the kings that could come off.
    Composed,
};

}  // namespace problems
