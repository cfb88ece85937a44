// A set of problems as EPD: one line per problem, the four position fields
// of its FEN and the operations bm (the mate, or a two-mover's key), dm (the
// moves to mate: 1 or 2) and id (its number).
#pragma once

#include <string>
#include <vector>

#include "problems/problem_series.h"

namespace sheets {

// With `difficulty`, each line also has the operation "difficulty N;", its
// problem's estimate, before its id.
std::string WriteEpd(const std::vector<problems::SeriesProblem>& problems, bool difficulty = false);

}  // namespace sheets
