#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "problems/trainer_rules.h"
#include "problems/problem_series.h"
#include "problems/mate_series.h"
#include "rules/fen.h"
#include "rules/move_text.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using testing::CountMatesDirectly;
using testing::MakeSettings;

constexpr int ExampleCounts[10] = {2, 1, 1, 0, 1, 3, 0, 1, 1, 0};  // the example settings file

// What each problem of a set must be, checked against its own FEN with the
// rules core and the direct mate count rather than the generator.
void ExpectSoundProblem(const SeriesProblem& problem) {
    SCOPED_TRACE(problem.Fen);
    auto position = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    std::string error;
    ASSERT_TRUE(rules::ParseFen(problem.Fen, *position, error)) << error;
    EXPECT_EQ(position->Squares(), problem.Board);
    EXPECT_EQ(position->SideToMove(), rules::White);
    const auto facts = CountMatesDirectly(*position);
    EXPECT_EQ(facts.Mates, 1);
    EXPECT_EQ(facts.LastMatingPiece, problem.MatingPiece);
    EXPECT_FALSE(facts.CheckTakenEnPassant);
    // The solution is one of White's legal moves.
    const rules::MoveList moves = position->LegalMoves();
    int named = 0;
    for (int entry = 1; entry <= moves.Count(); ++entry) named += rules::MoveText(moves[entry]) == problem.SolutionText;
    EXPECT_EQ(named, 1) << problem.SolutionText;
    EXPECT_EQ(problem.SolutionAlgebraic.back(), '#');
}

std::set<std::string> Placements(const std::vector<SeriesProblem>& problems) {
    std::set<std::string> placements;
    for (const SeriesProblem& problem : problems) placements.insert(problem.Fen.substr(0, problem.Fen.find(' ')));
    return placements;
}

TEST(ProblemSeries, DrawsDistinctProblemsTheTrainerCouldShow) {
    auto series = std::make_unique<ProblemSeries>(MakeSettings(ExampleCounts, 1, 4, rules::Queen), 3);
    ASSERT_TRUE(series->Draw(60, nullptr));
    ASSERT_EQ(series->Problems.size(), 60u);
    for (const SeriesProblem& problem : series->Problems) {
        ExpectSoundProblem(problem);
        EXPECT_EQ(problem.MatingPiece, rules::Queen);
    }
    EXPECT_EQ(Placements(series->Problems).size(), 60u);
    EXPECT_GE(series->AttemptsUsed, 60);
}

// With few pieces the same thinned position comes up again and again; a set
// keeps each once.
TEST(ProblemSeries, SparseSettingsRepeatProblemsButTheSetDoesNot) {
    const int queenOnly[10] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0};
    auto series = std::make_unique<ProblemSeries>(MakeSettings(queenOnly, 0, 4, rules::Queen), 8);
    ASSERT_TRUE(series->Draw(300, nullptr));
    EXPECT_GT(series->RepeatsSkipped, 0);
    EXPECT_EQ(Placements(series->Problems).size(), 300u);
}

// "любая": each problem by whatever kind mates, not the first problem's kind
// for all, as in one trainer run.
TEST(ProblemSeries, AnyKindMixesTheMatingPieces) {
    const int mixed[10] = {2, 1, 1, 1, 1, 2, 1, 1, 1, 0};
    auto series = std::make_unique<ProblemSeries>(MakeSettings(mixed, 1, 5, 0), 21);
    ASSERT_TRUE(series->Draw(40, nullptr));
    std::set<rules::PieceCode> kinds;
    for (const SeriesProblem& problem : series->Problems) {
        ExpectSoundProblem(problem);
        kinds.insert(problem.MatingPiece);
    }
    EXPECT_GE(kinds.size(), 3u);
}

TEST(ProblemSeries, TheSeedDecidesTheSet) {
    const auto config = MakeSettings(ExampleCounts, 1, 4, 0);
    auto first = std::make_unique<ProblemSeries>(config, 77);
    auto second = std::make_unique<ProblemSeries>(config, 77);
    auto other = std::make_unique<ProblemSeries>(config, 78);
    ASSERT_TRUE(first->Draw(10, nullptr) && second->Draw(10, nullptr) && other->Draw(10, nullptr));
    for (std::size_t index = 0; index < 10; ++index) {
        EXPECT_EQ(first->Problems[index].Fen, second->Problems[index].Fen);
        EXPECT_EQ(first->Problems[index].SolutionAlgebraic, second->Problems[index].SolutionAlgebraic);
    }
    EXPECT_NE(Placements(first->Problems), Placements(other->Problems));
}

class CountingProgress : public SeriesProgress {
  public:
    void ProblemsFound(int found, int asked, std::int64_t attempts) override {
        EXPECT_GE(found, LastFound);
        EXPECT_GE(attempts, LastAttempts);
        LastFound = found;
        LastAttempts = attempts;
        LastAsked = asked;
        ++Calls;
    }
    int LastFound = 0;
    int LastAsked = 0;
    std::int64_t LastAttempts = 0;
    long Calls = 0;
};

// Only the kings: no problem can come. However many are asked for, the set
// gives up after one problem's share of the budget, as a set of one does.
TEST(ProblemSeries, GivesUpAfterTheFirstShareWhenItFoundNothing) {
    const int none[10] = {};
    for (const int asked : {1, 3, 1000}) {
        auto series = std::make_unique<ProblemSeries>(MakeSettings(none, 0, 2, 0), 4);
        CountingProgress progress;
        EXPECT_FALSE(series->Draw(asked, &progress));
        EXPECT_EQ(series->LastEnd, DrawEnd::NoFirstProblem);
        EXPECT_TRUE(series->Problems.empty());
        EXPECT_EQ(series->AttemptsUsed, SeriesAttemptsPerProblem);
        EXPECT_EQ(progress.LastAttempts, SeriesAttemptsPerProblem);
        EXPECT_EQ(progress.LastFound, 0);
        EXPECT_EQ(progress.LastAsked, asked);
    }
}

// Once a first problem has come, the whole budget (the trainer's limit times
// the problems asked for) is open. Mates by the king are rare: with seed 3
// the first comes within the first share, the second not within the rest.
TEST(ProblemSeries, AfterAFirstProblemTheWholeBudgetIsSpent) {
    auto series = std::make_unique<ProblemSeries>(MakeSettings(ExampleCounts, 1, 4, rules::King), 3);
    EXPECT_FALSE(series->Draw(2, nullptr));
    EXPECT_EQ(series->LastEnd, DrawEnd::BudgetSpent);
    EXPECT_EQ(series->Problems.size(), 1u);
    EXPECT_EQ(series->AttemptsUsed, 2 * SeriesAttemptsPerProblem);
}

// Pieces that cannot all stand on the board: nothing is tried.
TEST(ProblemSeries, PiecesThatDoNotFitEndTheDrawAtOnce) {
    const int crowd[10] = {8, 10, 10, 10, 10, 8, 10, 10, 10, 10};
    auto series = std::make_unique<ProblemSeries>(MakeSettings(crowd, 1, 5, rules::Queen), 1);
    CountingProgress progress;
    EXPECT_FALSE(series->Draw(1000, &progress));
    EXPECT_EQ(series->LastEnd, DrawEnd::PiecesDoNotFit);
    EXPECT_EQ(series->AttemptsUsed, 0);
    EXPECT_EQ(progress.Calls, 0);
}

// A set of longer mates ends as early as a set of mates in one: at once
// when the pieces cannot stand on the board, after one problem's share when
// it found nothing.
TEST(MateSeries, EndsEarlyWhenTheSettingsGiveNothing) {
    const int crowd[10] = {8, 10, 10, 10, 10, 8, 10, 10, 10, 10};
    for (const int moves : {2, 3}) {
        MateSeries crowded(MakeSettings(crowd, 1, 5, 0), 1, moves);
        CountingProgress progress;
        EXPECT_FALSE(crowded.Draw(1000, &progress));
        EXPECT_EQ(crowded.LastEnd, DrawEnd::PiecesDoNotFit);
        EXPECT_EQ(crowded.AttemptsUsed, 0);
        EXPECT_EQ(progress.Calls, 0);

        const int none[10] = {};
        for (const int asked : {1, 1000}) {
            MateSeries kings(MakeSettings(none, 0, 2, 0), 4, moves);
            EXPECT_FALSE(kings.Draw(asked, nullptr));
            EXPECT_EQ(kings.LastEnd, DrawEnd::NoFirstProblem);
            EXPECT_EQ(kings.AttemptsUsed, AttemptsPerProblem(moves));
            EXPECT_TRUE(kings.Problems.empty());
        }
    }
}

TEST(ProblemSeries, ProgressCountsProblemsAndEveryAttempt) {
    auto series = std::make_unique<ProblemSeries>(MakeSettings(ExampleCounts, 1, 4, rules::Queen), 12);
    CountingProgress progress;
    ASSERT_TRUE(series->Draw(5, &progress));
    EXPECT_EQ(progress.LastFound, 5);
    EXPECT_EQ(progress.LastAttempts, series->AttemptsUsed);
    EXPECT_EQ(progress.Calls, series->AttemptsUsed + 1);  // every attempt, and the end
}

}  // namespace
}  // namespace problems
