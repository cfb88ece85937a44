// Thinning a problem of mate in n: pieces that the solution does not need
// are taken off.
#pragma once

#include "problems/mate_solver.h"
#include "problems/problem_style.h"
#include "rules/position.h"

namespace problems {

// The position `board` (White to move, a sound mate in `moves` with `key`)
// thinned: every piece but the kings and the key's own piece is taken off,
// in scan order, when the position stays a sound mate in `moves` with the
// same key. A sound problem is looked over twice; a composed one until a
// whole pass takes nothing off, so that no piece is left that could go.
void ThinProblem(MateSolver& solver, rules::BoardCellsArray& board, int moves, const rules::Move& key,
                 ProblemStyle style = ProblemStyle::Sound);

}  // namespace problems
