// The mate solver against the slow solver, which uses nothing of the rules
// core: generated problems, the leaves of the rules' trees, fixed verdicts,
// random positions, and sets drawn on one thread or many.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "problems/mate_series.h"
#include "problems/mate_solver.h"
#include "problems/position_builder.h"
#include "problems/trainer_rules.h"
#include "rules/fen.h"
#include "rules/perft.h"
#include "settings/settings.h"
#include "tests/problems/slow_solver.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using namespace problems::testing::slow;
problems::MateVerdict Verdict(const std::string& fen, int moves, rules::Move& key) {
    problems::MateSolver solver;
    return solver.Judge(ToCells(FromFen(fen)), moves, problems::AnyKeyKind, key);
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

// Every White move of the tree below `node` (played on `board`) is the slow
// solver's: each defence is a legal reply, all of them are there, and the
// answer forces mate in the moves the tree says. Counts the lines checked.
int ExpectTree(const Board& board, const problems::WhiteNode& node, int movesLeft) {
    const Board after = After(board, FromMove(node.Move));
    const std::vector<Plain> replies = Legal(after);
    if (movesLeft == 1 || node.Mates) {
        EXPECT_TRUE(node.Mates && Mates(board, FromMove(node.Move)));
        return 1;
    }
    EXPECT_EQ(replies.size(), node.Defences.size());
    int lines = 0;
    for (const problems::DefenceNode& line : node.Defences) {
        EXPECT_NE(std::find(replies.begin(), replies.end(), FromMove(line.Move)), replies.end());
        EXPECT_EQ(line.Continuation.size(), 1U);
        if (line.Continuation.empty()) continue;
        const Board afterDefence = After(after, FromMove(line.Move));
        EXPECT_TRUE(line.MovesToMate >= 1 && line.MovesToMate < movesLeft);
        EXPECT_TRUE(ForcesMateIn(afterDefence, FromMove(line.Continuation[0].Move), line.MovesToMate));
        if (line.MovesToMate > 1) {
            EXPECT_FALSE(MatesIn(afterDefence, line.MovesToMate - 1));
        }
        lines += ExpectTree(afterDefence, line.Continuation[0], line.MovesToMate);
    }
    return lines;
}

TEST(MateSolver, GeneratedProblemsAreConfirmedByTheSlowSolver) {
    struct Case {
        int Moves;
        bool PawnHeavy;
        int Count;
        std::uint64_t Seed;
    };
    // A few dozen three-movers: the slow solver takes some tenths of a second on each.
    for (const Case c :
         {Case{2, false, 120, 5}, Case{2, true, 120, 11}, Case{3, false, 16, 5}, Case{3, true, 16, 11}}) {
        SCOPED_TRACE("mate in " + std::to_string(c.Moves) + (c.PawnHeavy ? ", pawn-heavy" : ""));
        settings::Settings values = ExampleValues();
        if (c.PawnHeavy) {
            values.WhitePawns = 6;
            values.BlackPawns = 6;
            values.PawnRankLimit = 6;
        }
        problems::MateSeries series(SettingsOf(values), c.Seed, c.Moves);
        ASSERT_TRUE(series.Draw(c.Count, nullptr));
        for (const problems::SeriesProblem& problem : series.Problems) {
            const Board b = FromCells(problem.Board);
            SCOPED_TRACE(problem.Fen);
            const problems::Solution& solution = problem.Tree;
            ASSERT_EQ(solution.Moves, c.Moves);
            ASSERT_FALSE(MatesIn(b, c.Moves - 1));
            const std::vector<Plain> keys = KeysIn(b, c.Moves);
            ASSERT_EQ(keys.size(), 1U);
            EXPECT_EQ(keys[0], FromMove(solution.Key.Move));
            EXPECT_GT(ExpectTree(b, solution.Key, c.Moves), 0);
            // The threats: White's soonest mates were Black to pass after a quiet key.
            const Board afterKey = After(b, keys[0]);
            Board passed = afterKey;
            passed.Side = 1;
            passed.EnPassant = -1;
            const bool checks = InCheck(afterKey, -1);
            EXPECT_EQ(solution.Key.Checks, checks);
            for (const problems::WhiteNode& threat : solution.Threats) {
                EXPECT_TRUE(ForcesMateIn(passed, FromMove(threat.Move), c.Moves - 1));
            }
            if (!checks && c.Moves == 2) {
                EXPECT_EQ(solution.Threats.size(), MatesInOne(passed).size());
            }
        }
    }
}

TEST(MateSolver, TheCoreCountsTheSameLeavesAsTheSlowGenerator) {
    // Double steps on both sides with pawns beside them, promotions both ways,
    // and an en-passant capture that would expose the king along the rank.
    const char* fens[] = {
        "4k3/2p1p3/8/1P1P4/8/8/3p2P1/R3K3 b - - 0 1", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r3k3/1P4p1/8/8/5p2/8/4P1P1/4K2R w - - 0 1",  "8/8/8/K1pP3q/8/8/8/7k w - c6 0 1",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",    "7k/8/8/8/2p1p3/8/3P4/3K4 w - - 0 1",
    };
    for (const char* fen : fens) {
        SCOPED_TRACE(fen);
        const Board b = FromFen(fen);
        rules::Position position;
        std::string error;
        ASSERT_TRUE(rules::ParseFen(fen, position, error)) << error;
        for (int depth = 1; depth <= 3; ++depth) EXPECT_EQ(rules::CountLeaves(position, depth), Leaves(b, depth));
    }
}

TEST(MateSolver, FixedPositionsAreJudgedByTheWholeRules) {
    using problems::MateVerdict;
    rules::Move key;
    // The two rooks mate in two in more than one way.
    EXPECT_EQ(Verdict("7k/8/8/8/8/8/R7/1R4K1 w - - 0 1", 2, key), MateVerdict::SeveralKeys);
    // Black in check, kings side by side, a pawn on the last rank, castling possible.
    EXPECT_EQ(Verdict("4k3/8/8/8/8/8/8/4K2R w - - 0 1", 2, key), MateVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("4k3/4R3/8/8/8/8/8/K7 w - - 0 1", 3, key), MateVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("8/8/8/8/8/8/4k3/4K3 w - - 0 1", 2, key), MateVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("P3k3/8/8/8/8/8/8/K7 w - - 0 1", 2, key), MateVerdict::IllegalPosition);
    // A mate in one is no two-mover and no three-mover; it is a sound mate in one.
    EXPECT_EQ(Verdict("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 2, key), MateVerdict::ShorterMate);
    EXPECT_EQ(Verdict("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 3, key), MateVerdict::ShorterMate);
    EXPECT_EQ(Verdict("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 1, key), MateVerdict::Sound);
}

TEST(MateSolver, TheSlowSolverAgreesOnRandomPositions) {
    // Every verdict on random positions of the example settings, sound or not.
    const settings::TrainerSettings config = SettingsOf(ExampleValues());
    auto rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    problems::PositionBuilder builder(*rules, config, 3);
    problems::MateSolver solver;
    for (const int moves : {2, 3}) {
        SCOPED_TRACE("mate in " + std::to_string(moves));
        const int wanted = moves == 2 ? 300 : 40;
        int judged = 0;
        for (int attempt = 0; attempt < 3000 && judged < wanted; ++attempt) {
            builder.ClearBoard();
            if (!builder.BuildRandomPosition()) continue;
            rules::Move key;
            const problems::MateVerdict verdict = solver.Judge(rules->Squares(), moves, problems::AnyKeyKind, key);
            if (verdict == problems::MateVerdict::IllegalPosition) continue;
            ++judged;
            const Board b = FromCells(rules->Squares());
            const bool shorter = MatesIn(b, moves - 1);
            EXPECT_EQ(verdict == problems::MateVerdict::ShorterMate, shorter);
            if (shorter) continue;
            const std::vector<Plain> keys = KeysIn(b, moves);
            EXPECT_EQ(verdict == problems::MateVerdict::Sound, keys.size() == 1);
            EXPECT_EQ(verdict == problems::MateVerdict::SeveralKeys, keys.size() > 1);
            if (keys.size() == 1 && verdict == problems::MateVerdict::Sound) {
                EXPECT_TRUE(keys[0] == FromMove(key));
            }
        }
        EXPECT_EQ(judged, wanted);
    }
}

TEST(MateSeries, TheSameSeedGivesTheSameSetOnOneThreadOrMany) {
    const settings::TrainerSettings config = SettingsOf(ExampleValues());
    for (const int moves : {2, 3}) {
        problems::MateSeries one(config, 42, moves, problems::ProblemStyle::Sound, 1);
        problems::MateSeries many(config, 42, moves, problems::ProblemStyle::Sound, 3);
        ASSERT_TRUE(one.Draw(20, nullptr));
        ASSERT_TRUE(many.Draw(20, nullptr));
        ASSERT_EQ(one.Problems.size(), many.Problems.size());
        for (std::size_t i = 0; i < one.Problems.size(); ++i) EXPECT_EQ(one.Problems[i].Fen, many.Problems[i].Fen);
        EXPECT_EQ(one.AttemptsUsed, many.AttemptsUsed);
    }
}

}  // namespace
}  // namespace problems
