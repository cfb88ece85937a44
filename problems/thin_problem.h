// Thinning a problem of mate in n: pieces that the solution does not need
// are taken off.
#pragma once

#include "problems/mate_solver.h"
#include "rules/position.h"

namespace problems {

// The position `board` (White to move, a sound mate in `moves` with `key`)
// thinned: every piece but the kings and the key's own piece is taken off,
// in scan order and twice over, when the position stays a sound mate in
// `moves` with the same key.
void ThinProblem(MateSolver& solver, rules::BoardCellsArray& board, int moves, const rules::Move& key);

}  // namespace problems
