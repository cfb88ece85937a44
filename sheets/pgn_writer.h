// A set of problems as PGN: one game per problem, set up from its FEN, with
// the solution as its moves: the mate of a mate in one; a two-mover's key,
// first defence and mate, with every other defence and its first mate as a
// variation.
#pragma once

#include <string>
#include <vector>

#include "problems/problem_series.h"

namespace sheets {

// `title` goes into every [Event] tag; games are numbered from 1 in [Round].
// With `difficulty`, each game's [Difficulty] tag holds its problem's estimate.
std::string WritePgn(const std::vector<problems::SeriesProblem>& problems, const std::string& title,
                     bool difficulty = false);

// A PGN tag value: backslash and double quote escaped with a backslash.
std::string PgnTagValue(const std::string& text);

}  // namespace sheets
