// Drawing a set of distinct problems with the trainer's generation run.
#include "problems/problem_series.h"

#include <algorithm>
#include <limits>

#include "rules/algebraic_notation.h"
#include "rules/fen.h"
#include "rules/move_text.h"

namespace problems {

ProblemSeries::ProblemSeries(const settings::TrainerSettings& config, std::uint64_t seed)
    : Config(config),
      AnyKind(config.FirstMovePiece == 0),
      Search(*Rules),
      Builder(*Rules, Config, seed),
      Run(*Rules, Search, Builder, Config, View) {}

void ProblemSeries::ProgressView::ShowAttemptCount(std::int32_t attempts) {
    if (Progress != nullptr) Progress->ProblemsFound(Found, Asked, AttemptsBefore + attempts);
}

bool ProblemSeries::Draw(int asked, SeriesProgress* progress) {
    const std::int64_t budget = static_cast<std::int64_t>(asked) * SeriesAttemptsPerProblem;
    AttemptsUsed = 0;
    RepeatsSkipped = 0;
    View.Progress = progress;
    View.Asked = asked;
    while (static_cast<int>(Problems.size()) < asked) {
        const std::int64_t left = budget - AttemptsUsed;
        if (left <= 0) return false;
        View.Found = static_cast<int>(Problems.size());
        View.AttemptsBefore = AttemptsUsed;
        Run.Limit = static_cast<std::int32_t>(std::min<std::int64_t>(left, std::numeric_limits<std::int32_t>::max()));
        // The trainer keeps the kind of its first problem for the rest of its
        // run; a set asks afresh for every problem.
        if (AnyKind) Config.FirstMovePiece = 0;
        Run.GenerateProblem();
        AttemptsUsed += Run.AttemptCount;
        if (Run.GaveUp) return false;
        if (!KeepProblem()) ++RepeatsSkipped;
    }
    View.Found = static_cast<int>(Problems.size());
    if (progress != nullptr) progress->ProblemsFound(View.Found, asked, AttemptsUsed);
    return true;
}

bool ProblemSeries::KeepProblem() {
    const std::string fen = chess::WriteFen(*Rules, chess::White);
    if (!Placements.insert(fen.substr(0, fen.find(' '))).second) return false;
    // The run ends with the one mate of the problem on the board found.
    const chess::Move mate = Search.FirstMate();
    SeriesProblem problem;
    problem.Board = Rules->Squares();
    problem.Fen = fen;
    problem.SolutionText = chess::MoveText(mate);
    problem.SolutionAlgebraic = chess::AlgebraicNotation(*Rules, mate);
    problem.MatingPiece = mate.PlacedPiece;
    Problems.push_back(std::move(problem));
    return true;
}

}  // namespace problems
