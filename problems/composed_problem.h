// Whether a sound problem of mate in n is one a composer would sign: the
// key neither checks nor captures and takes no flight square from the Black
// king (giving one is fine); after every Black defence White has exactly one
// move that keeps the mate in time; and at least two defences are met by
// different White moves. Economy, the last mark, comes from thinning the
// problem until no piece can come off (ThinProblem with the composed style).
#pragma once

#include "problems/mate_solver.h"
#include "rules/position.h"

namespace problems {

// The first mark a problem misses, in the order the marks are checked.
enum class ComposedFlaw {
    None,
    KeyChecks,
    KeyCaptures,
    KeyTakesFlight,  // a square the Black king could go to before the key it cannot after it
    Dual,            // after some defence, two or more White moves keep the mate in time
    OneAnswer,       // every defence is met by the same White move
};

// Whether the key alone rules the problem out: it checks or captures.
// Cheap, and asked before the problem is thinned and solved.
[[nodiscard]] ComposedFlaw KeyFlaw(const rules::BoardCellsArray& board, const rules::Move& key);

// The first flaw of `solution`, the solver's tree of the sound problem on
// `board` (White to move). The solver answers the questions of duals; what
// it has set up is changed.
[[nodiscard]] ComposedFlaw FindComposedFlaw(MateSolver& solver, const rules::BoardCellsArray& board,
                                            const Solution& solution);

[[nodiscard]] const char* ComposedFlawName(ComposedFlaw flaw);

}  // namespace problems
