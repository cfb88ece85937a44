// Estimating, keeping and sorting a sheet's problems by difficulty.
#include "sheets/problem_order.h"

#include <algorithm>

#include "problems/difficulty.h"

namespace sheets {

problems::ProblemFilter DifficultyFilter(DifficultyRange range) {
    return [range](const rules::BoardCellsArray& board) {
        const std::optional<int> estimate = problems::EstimateDifficulty(board);
        return estimate && range.Holds(*estimate);
    };
}

void EstimateDifficulties(std::vector<problems::SeriesProblem>& problems) {
    for (problems::SeriesProblem& problem : problems) problem.Difficulty = problems::EstimateDifficulty(problem.Board);
}

void SortEasyFirst(std::vector<problems::SeriesProblem>& problems) {
    std::stable_sort(problems.begin(), problems.end(),
                     [](const problems::SeriesProblem& one, const problems::SeriesProblem& other) {
                         return one.Difficulty < other.Difficulty;
                     });
}

std::string DifficultyNote(const problems::SeriesProblem& problem) {
    return problem.Difficulty ? "  ≈" + std::to_string(*problem.Difficulty) : std::string();
}

}  // namespace sheets
