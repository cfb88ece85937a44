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
    FilteredOut = 0;
    LastEnd = DrawEnd::Complete;
    View.Progress = progress;
    View.Asked = asked;
    if (!Builder.PiecesCanFit()) {
        LastEnd = DrawEnd::PiecesDoNotFit;
        return false;
    }
    bool foundAny = false;
    while (static_cast<int>(Problems.size()) < asked) {
        // Until the first problem comes, only one problem's share is open.
        const std::int64_t open = foundAny ? budget : std::min<std::int64_t>(budget, SeriesAttemptsPerProblem);
        const std::int64_t left = open - AttemptsUsed;
        if (left <= 0) {
            LastEnd = DrawEnd::BudgetSpent;
            return false;
        }
        View.Found = static_cast<int>(Problems.size());
        View.AttemptsBefore = AttemptsUsed;
        Run.Limit = static_cast<std::int32_t>(std::min<std::int64_t>(left, std::numeric_limits<std::int32_t>::max()));
        // The trainer keeps the kind of its first problem for the rest of its
        // run; a set asks afresh for every problem.
        if (AnyKind) Config.FirstMovePiece = 0;
        Run.GenerateProblem();
        AttemptsUsed += Run.AttemptCount;
        if (Run.GaveUp) {
            LastEnd = foundAny ? DrawEnd::BudgetSpent : DrawEnd::NoFirstProblem;
            return false;
        }
        foundAny = true;
        if (!KeepProblem()) ++RepeatsSkipped;
    }
    View.Found = static_cast<int>(Problems.size());
    if (progress != nullptr) progress->ProblemsFound(View.Found, asked, AttemptsUsed);
    return true;
}

bool ProblemSeries::KeepProblem() {
    const std::string fen = rules::WriteFen(*Rules, rules::White);
    if (!Placements.insert(fen.substr(0, fen.find(' '))).second) return false;
    if (Filter && !Filter(Rules->Squares())) return ++FilteredOut, true;
    // The run ends with the one mate of the problem on the board found.
    const rules::Move mate = Search.FirstMate();
    SeriesProblem problem;
    problem.Board = Rules->Squares();
    problem.Fen = fen;
    problem.SolutionText = rules::MoveText(mate);
    problem.SolutionAlgebraic = rules::AlgebraicNotation(*Rules, mate);
    problem.MatingPiece = mate.PlacedPiece;
    problem.Tree.Moves = 1;
    problem.Tree.Key.Move = mate;
    problem.Tree.Key.Algebraic = problem.SolutionAlgebraic;
    problem.Tree.Key.Trainer = problem.SolutionText;
    problem.Tree.Key.Checks = true;
    problem.Tree.Key.Mates = true;
    // The trainer's positions play no en passant: a capture takes what stands on the target.
    problem.Tree.Key.Captures = problem.Board[mate.ToFile][mate.ToRow] != rules::NoPiece;
    Problems.push_back(std::move(problem));
    return true;
}

}  // namespace problems
