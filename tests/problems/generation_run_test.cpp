#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "problems/generation_run.h"
#include "problems/headless_view.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using testing::CountMatesDirectly;
using testing::Generator;
using testing::MakeSettings;

constexpr rules::PieceCode KindsInSettingsOrder[10] = {
    rules::Pawn,  rules::Knight,  rules::Bishop,  rules::Rook,  rules::Queen,
    -rules::Pawn, -rules::Knight, -rules::Bishop, -rules::Rook, -rules::Queen,
};

// Everything an accepted problem must be, checked without the generator's
// own mate test.
void ExpectAcceptedProblem(const Generator& generator, const int (&counts)[10], std::int32_t kind) {
    const rules::Position& rules = *generator.Rules;
    const auto facts = CountMatesDirectly(rules);
    EXPECT_EQ(facts.Mates, 1);
    EXPECT_EQ(facts.LastMatingPiece, kind);
    EXPECT_FALSE(facts.MateTakenEnPassant);
    EXPECT_FALSE(testing::KingAttacked(rules, rules::Black));
    EXPECT_EQ(rules.SideToMove(), rules::White);
    EXPECT_EQ(generator.Search.WhiteMoves.Count(), testing::LegalMoveCount(rules, rules::White));
    EXPECT_TRUE(generator.Search.ProblemBoard == rules);

    std::map<rules::PieceCode, int> pieces;
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) ++pieces[rules.At(file, row)];
    }
    EXPECT_EQ(pieces[rules::King], 1);
    EXPECT_EQ(pieces[-rules::King], 1);
    // Thinning only takes pieces off.
    for (int line = 0; line < 10; ++line) EXPECT_LE(pieces[KindsInSettingsOrder[line]], counts[line]);
}

struct Spread {
    int Counts[10];
    int KingEdgeDistance;
    int PawnRankLimit;
    std::int32_t Kind;
    int ProblemsPerSeed;
};
constexpr int SeedsPerSpread = 3;

// Every kind of mating piece, on crowded and sparse boards.
constexpr Spread Spreads[] = {
    {{2, 1, 1, 0, 1, 3, 0, 1, 1, 0}, 1, 4, rules::Queen, 8},  // the settings file's example
    {{1, 0, 0, 0, 1, 0, 0, 0, 0, 0}, 3, 4, rules::Queen, 4},  // sparse
    {{0, 0, 0, 2, 0, 2, 1, 1, 0, 0}, 1, 4, rules::Rook, 4},
    {{0, 1, 2, 1, 0, 3, 1, 1, 0, 0}, 0, 4, rules::Bishop, 4},
    {{0, 2, 1, 1, 0, 3, 1, 1, 0, 0}, 0, 4, rules::Knight, 4},
    {{4, 1, 1, 0, 0, 3, 0, 1, 1, 0}, 0, 7, rules::Pawn, 1},
    {{0, 0, 2, 2, 0, 8, 0, 0, 0, 0}, 0, 4, rules::King, 1},
    {{8, 2, 2, 2, 2, 8, 2, 2, 2, 2}, 0, 7, rules::Queen, 3},  // crowded
    {{3, 1, 1, 1, 1, 3, 1, 1, 1, 1}, 2, 6, rules::Rook, 3},
};

void GenerateAndCheck(const Spread& spread, std::uint64_t seed) {
    Generator generator(MakeSettings(spread.Counts, spread.KingEdgeDistance, spread.PawnRankLimit, spread.Kind), seed);
    for (int problem = 0; problem < spread.ProblemsPerSeed; ++problem) {
        SCOPED_TRACE("kind " + std::to_string(spread.Kind) + ", seed " + std::to_string(seed));
        const int drawnBefore = generator.View.DrawBoardCalls;
        const long updatesBefore = generator.View.AttemptCountUpdates;
        generator.Run.GenerateProblem();
        ASSERT_FALSE(generator.Run.GaveUp);
        ExpectAcceptedProblem(generator, spread.Counts, spread.Kind);
        EXPECT_EQ(generator.Config.FirstMovePiece, spread.Kind);
        // The label showed every attempt, the last one being the count.
        EXPECT_EQ(generator.View.AttemptCountUpdates - updatesBefore, generator.Run.AttemptCount);
        EXPECT_EQ(generator.View.LastAttemptCount, generator.Run.AttemptCount);
        EXPECT_EQ(generator.View.DrawBoardCalls, drawnBefore + 1);
    }
}

TEST(GenerationRun, EveryAcceptedProblemHasOneMateByTheRequiredKind) {
    std::uint64_t seed = 1;
    for (const Spread& spread : Spreads) {
        for (int seeds = 0; seeds < SeedsPerSpread; ++seeds) GenerateAndCheck(spread, seed++);
    }
}

// Eight pawns a side, the White ones on rank 2, any piece: double steps
// everywhere. Every problem is checked against the full search and the rule
// for en passant (no problem whose one mate is a double step that Black
// answers en passant); and positions whose only trouble is a checking double
// step that is no mate are accepted.
TEST(GenerationRun, PawnHeavyProblemsFollowTheEnPassantRule) {
    const int counts[10] = {8, 1, 1, 1, 1, 8, 0, 0, 0, 0};
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Generator generator(MakeSettings(counts, 1, 2, 0), seed);
        generator.Run.GenerateProblem();
        ASSERT_FALSE(generator.Run.GaveUp);
        const std::int32_t kind = generator.Config.FirstMovePiece;
        ExpectAcceptedProblem(generator, counts, kind);
        generator.Run.GenerateProblem();
        ASSERT_FALSE(generator.Run.GaveUp);
        ExpectAcceptedProblem(generator, counts, kind);
    }
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        Generator generator(MakeSettings(counts, 1, 2, rules::Pawn), seed);
        generator.Run.GenerateProblem();
        ASSERT_FALSE(generator.Run.GaveUp);
        ExpectAcceptedProblem(generator, counts, rules::Pawn);
    }

    Generator attempts(MakeSettings(counts, 1, 2, 0), 300);
    int accepted = 0;
    int acceptedDespiteACheckAnsweredEnPassant = 0;
    for (int attempt = 0; attempt < 20000; ++attempt) {
        attempts.Builder.ClearBoard();
        if (!attempts.Builder.BuildRandomPosition()) continue;
        attempts.Search.MateInOneTest();
        if (!attempts.Search.IsProblem(attempts.Search.MatePiece)) continue;
        const auto facts = CountMatesDirectly(*attempts.Rules);
        ASSERT_EQ(facts.Mates, 1);
        ASSERT_FALSE(facts.MateTakenEnPassant);
        ++accepted;
        acceptedDespiteACheckAnsweredEnPassant += facts.CheckTakenEnPassant;
    }
    EXPECT_GT(accepted, 100);
    EXPECT_GT(acceptedDespiteACheckAnsweredEnPassant, 0);
}

// With "any piece" the first problem's kind is kept for every later one.
TEST(GenerationRun, AnyPieceTakesTheKindOfTheFirstProblem) {
    const int counts[10] = {2, 1, 1, 1, 1, 2, 1, 1, 1, 0};
    for (std::uint64_t seed = 10; seed < 14; ++seed) {
        Generator generator(MakeSettings(counts, 1, 5, 0), seed);
        generator.Run.GenerateProblem();
        ASSERT_FALSE(generator.Run.GaveUp);
        const std::int32_t kind = generator.Config.FirstMovePiece;
        EXPECT_NE(kind, 0);
        ExpectAcceptedProblem(generator, counts, kind);
        for (int problem = 0; problem < 3; ++problem) {
            generator.Run.GenerateProblem();
            ASSERT_FALSE(generator.Run.GaveUp);
            EXPECT_EQ(generator.Config.FirstMovePiece, kind);
            ExpectAcceptedProblem(generator, counts, kind);
        }
    }
}

TEST(GenerationRun, StatusTextCountsTheAttempts) {
    EXPECT_EQ(AttemptStatusText(3), "Сгенерировано  3  позиций");
    EXPECT_EQ(AttemptStatusText(0), "Сгенерировано  0  позиций");
    EXPECT_EQ(AttemptStatusText(30000), "Сгенерировано  30000  позиций");
}

// Only the kings: no position can be a problem.
TEST(GenerationRun, GivesUpAfterExactlyThirtyThousandAttempts) {
    const int none[10] = {};
    Generator generator(MakeSettings(none, 0, 2, 0), 5);
    generator.Run.GenerateProblem();
    EXPECT_TRUE(generator.Run.GaveUp);
    EXPECT_EQ(generator.Run.AttemptCount, 30000);
    EXPECT_EQ(generator.View.AttemptCountUpdates, 30000);
    EXPECT_EQ(generator.View.LastAttemptCount, 30000);
    EXPECT_EQ(generator.View.GiveUpCalls, 1);
    EXPECT_EQ(generator.View.DrawBoardCalls, 0);
    ASSERT_EQ(generator.View.Messages.size(), 1u);
    EXPECT_EQ(generator.View.Messages[0].Title, "Изменить опции");
    EXPECT_EQ(generator.View.Messages[0].Text, "Количество сгенерированных позиций больше 30000 !");
    EXPECT_EQ(generator.Config.FirstMovePiece, 0);
}

// Settings whose pieces never fit fail every attempt quickly, up to the limit.
TEST(GenerationRun, PiecesThatCannotFitReachTheLimit) {
    const int crowd[10] = {8, 10, 10, 10, 10, 8, 10, 10, 10, 10};
    Generator generator(MakeSettings(crowd, 0, 7, 0), 6);
    generator.Run.Limit = 500;
    generator.Run.GenerateProblem();
    EXPECT_TRUE(generator.Run.GaveUp);
    EXPECT_EQ(generator.Run.AttemptCount, 500);
    EXPECT_EQ(generator.View.GiveUpCalls, 1);
}

TEST(GenerationRun, SameSeedSameProblems) {
    const int counts[10] = {2, 1, 1, 0, 1, 3, 0, 1, 1, 0};
    Generator first(MakeSettings(counts, 1, 4, 0), 31);
    Generator second(MakeSettings(counts, 1, 4, 0), 31);
    for (int problem = 0; problem < 3; ++problem) {
        first.Run.GenerateProblem();
        second.Run.GenerateProblem();
        EXPECT_EQ(first.Run.AttemptCount, second.Run.AttemptCount);
        EXPECT_TRUE(*first.Rules == *second.Rules);
    }
}

}  // namespace
}  // namespace problems
