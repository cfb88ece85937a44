// The problems of a sheet by their estimated difficulty: the range a sheet
// keeps, the estimates, and the order from easy to hard.
#pragma once

#include <string>
#include <vector>

#include "problems/problem_series.h"
#include "sheets/sheet_options.h"

namespace sheets {

// A filter for the set's draw that keeps the problems whose estimate is in `range`.
[[nodiscard]] problems::ProblemFilter DifficultyFilter(DifficultyRange range);

// Sets every problem's Difficulty.
void EstimateDifficulties(std::vector<problems::SeriesProblem>& problems);

// Sorts the problems by Difficulty, lowest first; equal ones keep their order.
void SortEasyFirst(std::vector<problems::SeriesProblem>& problems);

// The note beside a problem's answer in the key: "  ≈1150", or "" without an estimate.
[[nodiscard]] std::string DifficultyNote(const problems::SeriesProblem& problem);

}  // namespace sheets
