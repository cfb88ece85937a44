// The two-mover search against the slow solver, which uses nothing of the
// rules core.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "problems/position_builder.h"
#include "problems/two_mover_rules.h"
#include "problems/two_mover_search.h"
#include "problems/two_mover_series.h"
#include "settings/settings.h"
#include "tests/problems/slow_solver.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using namespace problems::testing::slow;
using problems::testing::FullRulesLeaves;

problems::TwoMoverVerdict Verdict(const std::string& fen, rules::Move& key) {
    problems::TwoMoverSearch search;
    return search.Judge(ToCells(FromFen(fen)), problems::AnyKeyKind, key);
}

settings::TrainerSettings SettingsOf(const settings::Settings& values) {
    settings::TrainerSettings config;
    config.Adopt(values);
    return config;
}

settings::Settings ExampleValues() {
    settings::Settings values;
    values.WhitePawns = 2;
    values.WhiteKnights = 1;
    values.WhiteBishops = 1;
    values.WhiteQueens = 1;
    values.BlackPawns = 3;
    values.BlackBishops = 1;
    values.BlackRooks = 1;
    values.CellSize = 50;
    values.KingEdgeDistance = 1;
    values.PawnRankLimit = 4;
    values.FirstMovePieceName = "любая";
    return values;
}

TEST(TwoMoverSearch, GeneratedTwoMoversAreConfirmedByTheSlowSolver) {
    for (const bool pawnHeavy : {false, true}) {
        settings::Settings values = ExampleValues();
        if (pawnHeavy) {
            values.WhitePawns = 6;
            values.BlackPawns = 6;
            values.PawnRankLimit = 6;
        }
        problems::TwoMoverSeries series(SettingsOf(values), pawnHeavy ? 11 : 5);
        ASSERT_TRUE(series.Draw(120, nullptr));
        int enPassantLines = 0;
        int promotions = 0;
        for (const problems::SeriesProblem& problem : series.Problems) {
            const Board b = FromCells(problem.Board);
            SCOPED_TRACE(problem.Fen);
            ASSERT_TRUE(MatesInOne(b).empty());
            const std::vector<Plain> keys = Keys(b);
            ASSERT_EQ(keys.size(), 1U);
            const problems::TwoMoverSolution& solution = problem.TwoMover;
            EXPECT_EQ(keys[0], FromMove(solution.Key));
            promotions += keys[0].Promote != 0;
            const Board afterKey = After(b, keys[0]);
            const std::vector<Plain> defences = Legal(afterKey);
            ASSERT_EQ(defences.size(), solution.Defences.size());
            // Every defence once, in whatever order; each with all its mates.
            for (const problems::TwoMoverDefence& line : solution.Defences) {
                const Plain defence = FromMove(line.Defence);
                int same = 0;
                for (const Plain& d : defences) same += d == defence;
                ASSERT_EQ(same, 1);
                const Board afterDefence = After(afterKey, defence);
                const std::vector<Plain> mates = MatesInOne(afterDefence);
                ASSERT_EQ(mates.size(), line.Mates.size());
                for (const rules::Move& mate : line.Mates) {
                    EXPECT_TRUE(Mates(afterDefence, FromMove(mate)));
                    if (afterDefence.EnPassant >= 0 && FromMove(mate).To == afterDefence.EnPassant &&
                        std::abs(afterDefence.Sq[FromMove(mate).From]) == P)
                        ++enPassantLines;
                }
            }
            // The threat: White's mates were Black to pass after a quiet key.
            Board passed = afterKey;
            passed.Side = 1;
            passed.EnPassant = -1;
            const bool checks = InCheck(afterKey, -1);
            EXPECT_EQ(solution.KeyChecks, checks);
            const std::vector<Plain> threats = checks ? std::vector<Plain>{} : MatesInOne(passed);
            ASSERT_EQ(threats.size(), solution.Threats.size());
            for (const rules::Move& threat : solution.Threats) EXPECT_TRUE(Mates(passed, FromMove(threat)));
        }
        RecordProperty(pawnHeavy ? "pawn_heavy_en_passant_mates" : "example_en_passant_mates", enPassantLines);
        RecordProperty(pawnHeavy ? "pawn_heavy_promotion_keys" : "example_promotion_keys", promotions);
    }
}

TEST(TwoMoverSearch, FullRulesCountTheSameLeavesAsTheSlowGenerator) {
    // Double steps on both sides with pawns beside them, promotions both ways,
    // and an en-passant capture that would expose the king along the rank.
    const char* fens[] = {
        "4k3/2p1p3/8/1P1P4/8/8/3p2P1/R3K3 b - - 0 1", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r3k3/1P4p1/8/8/5p2/8/4P1P1/4K2R w - - 0 1",  "8/8/8/K1pP3q/8/8/8/7k w - - 0 1",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",    "7k/8/8/8/2p1p3/8/3P4/3K4 w - - 0 1",
    };
    for (const char* fen : fens) {
        SCOPED_TRACE(fen);
        const Board b = FromFen(fen);
        problems::FullRules rules;
        rules.SetUp(ToCells(b), b.Side);
        for (int depth = 1; depth <= 3; ++depth) EXPECT_EQ(FullRulesLeaves(rules, depth), Leaves(b, depth));
    }
}

TEST(TwoMoverSearch, FixedPositionsAreJudgedByTheWholeRules) {
    rules::Move key;
    // Two keys: either rook mates in two against a bare king... or mates at once.
    EXPECT_NE(Verdict("7k/8/8/8/8/8/R7/1R4K1 w - - 0 1", key), problems::TwoMoverVerdict::Sound);
    EXPECT_EQ(Verdict("7k/8/8/8/8/8/R7/1R4K1 w - - 0 1", key), problems::TwoMoverVerdict::SeveralKeys);
    // Black in check, kings side by side, a pawn on the last rank, castling possible.
    EXPECT_EQ(Verdict("4k3/8/8/8/8/8/8/4K2R w - - 0 1", key), problems::TwoMoverVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("4k3/4R3/8/8/8/8/8/K7 w - - 0 1", key), problems::TwoMoverVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("8/8/8/8/8/8/4k3/4K3 w - - 0 1", key), problems::TwoMoverVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("P3k3/8/8/8/8/8/8/K7 w - - 0 1", key), problems::TwoMoverVerdict::IllegalPosition);
    // A mate in one is no two-mover.
    EXPECT_EQ(Verdict("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", key), problems::TwoMoverVerdict::MateInOne);
}

TEST(TwoMoverSearch, TheSlowSolverAgreesOnRandomPositions) {
    // Every verdict on random positions of the example settings, sound or not.
    settings::TrainerSettings config = SettingsOf(ExampleValues());
    auto rules = std::make_unique<rules::Position>();
    problems::PositionBuilder builder(*rules, config, 3);
    problems::TwoMoverSearch search;
    int judged = 0;
    for (int attempt = 0; attempt < 3000 && judged < 400; ++attempt) {
        builder.ClearBoard();
        if (!builder.BuildRandomPosition()) continue;
        rules::Move key;
        const problems::TwoMoverVerdict verdict = search.Judge(rules->Squares(), problems::AnyKeyKind, key);
        if (verdict == problems::TwoMoverVerdict::IllegalPosition) continue;
        ++judged;
        const Board b = FromCells(rules->Squares());
        const bool mateInOne = !MatesInOne(b).empty();
        EXPECT_EQ(verdict == problems::TwoMoverVerdict::MateInOne, mateInOne);
        if (mateInOne) continue;
        const std::vector<Plain> keys = Keys(b);
        EXPECT_EQ(verdict == problems::TwoMoverVerdict::Sound, keys.size() == 1);
        EXPECT_EQ(verdict == problems::TwoMoverVerdict::SeveralKeys, keys.size() > 1);
        if (keys.size() == 1 && verdict == problems::TwoMoverVerdict::Sound) {
            EXPECT_TRUE(keys[0] == FromMove(key));
        }
    }
    EXPECT_GT(judged, 300);
}

TEST(TwoMoverSeries, TheSameSeedGivesTheSameSetOnOneThreadOrMany) {
    const settings::TrainerSettings config = SettingsOf(ExampleValues());
    problems::TwoMoverSeries one(config, 42, 1);
    problems::TwoMoverSeries many(config, 42, 3);
    ASSERT_TRUE(one.Draw(40, nullptr));
    ASSERT_TRUE(many.Draw(40, nullptr));
    ASSERT_EQ(one.Problems.size(), many.Problems.size());
    for (std::size_t i = 0; i < one.Problems.size(); ++i) EXPECT_EQ(one.Problems[i].Fen, many.Problems[i].Fen);
    EXPECT_EQ(one.AttemptsUsed, many.AttemptsUsed);
}

}  // namespace
}  // namespace problems
