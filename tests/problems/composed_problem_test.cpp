// Composed problems: fixed cases of each mark, and sets of composed
// two-movers confirmed mark by mark by the slow solver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "problems/composed_problem.h"
#include "problems/mate_series.h"
#include "problems/mate_solver.h"
#include "problems/thin_problem.h"
#include "settings/settings.h"
#include "tests/problems/slow_solver.h"

namespace problems {
namespace {

namespace slow = problems::testing::slow;

// The flaw the solver finds in the sound two-mover `fen`.
ComposedFlaw FlawOf(const std::string& fen, rules::BoardCellsArray& board, rules::Move& key) {
    MateSolver solver;
    board = slow::ToCells(slow::FromFen(fen));
    EXPECT_EQ(solver.Judge(board, 2, AnyKeyKind, key), MateVerdict::Sound) << fen;
    return FindComposedFlaw(solver, board, solver.Solve(board, 2, key));
}

TEST(ComposedProblem, EachMarkDecidesAFixedCase) {
    struct Case {
        const char* Fen;
        ComposedFlaw Flaw;
    };
    for (const Case& c : {
             // 1. Qc4! quiet, every defence met by one mate, and by several different ones.
             Case{"8/2B1p3/3p4/2Q1p3/4pk1K/3R4/5PP1/8 w - - 0 1", ComposedFlaw::None},
             // 1. Qb6+ is sound but checks.
             Case{"3Q2B1/4K3/8/8/1k6/8/1P6/8 w - - 0 1", ComposedFlaw::KeyChecks},
             // 1. c7 is quiet, but some defence allows two mates.
             Case{"8/3Q4/2P5/8/8/8/K1k5/B7 w - - 0 1", ComposedFlaw::Dual},
         }) {
        rules::BoardCellsArray board{};
        rules::Move key{};
        EXPECT_EQ(FlawOf(c.Fen, board, key), c.Flaw) << c.Fen;
    }
    // With a Black pawn more on d7 the problem stays sound with the same
    // key when the pawn comes off: thinning takes a piece off, and what is
    // left has every mark.
    const std::string crowdedFen = "8/2Bpp3/3p4/2Q1p3/4pk1K/3R4/5PP1/8 w - - 0 1";
    rules::BoardCellsArray crowded{};
    rules::Move key{};
    ASSERT_EQ(FlawOf(crowdedFen, crowded, key), ComposedFlaw::None);
    MateSolver solver;
    rules::BoardCellsArray withoutPawn = crowded;
    withoutPawn[4][2] = rules::NoPiece;  // d7
    rules::Move found{};
    ASSERT_EQ(solver.Judge(withoutPawn, 2, AnyKeyKind, found), MateVerdict::Sound);
    EXPECT_EQ(found, key);
    rules::BoardCellsArray thinned = crowded;
    ThinProblem(solver, thinned, 2, key, ProblemStyle::Composed);
    EXPECT_NE(thinned, crowded);
    EXPECT_EQ(FindComposedFlaw(solver, thinned, solver.Solve(thinned, 2, key)), ComposedFlaw::None);
}

// The Black king's squares with Black to move.
std::set<int> KingSteps(slow::Board board) {
    board.Side = -1;
    std::set<int> squares;
    for (const slow::Plain& move : slow::Legal(board)) {
        if (board.Sq[move.From] == -slow::K) squares.insert(move.To);
    }
    return squares;
}

// Whether the slow solver finds `board` a sound two-mover with `key` as its one key.
bool SoundWith(const slow::Board& board, const slow::Plain& key) {
    if (slow::InCheck(board, -1) || !slow::MatesInOne(board).empty()) return false;
    const std::vector<slow::Plain> keys = slow::Keys(board);
    return keys.size() == 1 && keys[0] == key;
}

// Composed two-movers from random placement, with keys of any kind and with
// queen keys (the neighbours of sound problems), each mark confirmed by the
// slow solver: a quiet key taking no flight, exactly one mate after every
// defence, two different mates at least, and no piece that could come off.
TEST(ComposedProblem, SetsPassTheSlowSolversChecks) {
    settings::Settings pawns;
    pawns.WhitePawns = pawns.BlackPawns = 8;
    pawns.WhiteKnights = pawns.WhiteBishops = pawns.WhiteRooks = pawns.WhiteQueens = 1;
    pawns.CellSize = 50;
    pawns.KingEdgeDistance = 1;
    pawns.PawnRankLimit = 2;
    pawns.FirstMovePieceName = "любая";
    settings::Settings queens = pawns;
    queens.WhitePawns = 2;
    queens.BlackPawns = 3;
    queens.WhiteRooks = 0;
    queens.BlackBishops = queens.BlackRooks = 1;
    queens.PawnRankLimit = 4;
    queens.FirstMovePieceName = "ферзь";  // the example settings
    struct Case {
        settings::Settings Values;
        int Count;
        std::uint64_t Seed;  // one whose first queen problem comes soon
    };
    for (const Case& c : {Case{pawns, 6, 5}, Case{queens, 1, 6}}) {
        settings::TrainerSettings config;
        config.Adopt(c.Values);
        MateSeries series(config, c.Seed, 2, ProblemStyle::Composed);
        ASSERT_TRUE(series.Draw(c.Count, nullptr));
        for (const SeriesProblem& problem : series.Problems) {
            SCOPED_TRACE(problem.Fen);
            const slow::Board board = slow::FromCells(problem.Board);
            const slow::Plain key = slow::FromMove(problem.Tree.Key.Move);
            ASSERT_TRUE(SoundWith(board, key));
            if (config.FirstMovePiece != AnyKeyKind) {
                EXPECT_EQ(std::abs(problem.MatingPiece), rules::Queen);
            }
            EXPECT_EQ(board.Sq[key.To], 0);
            const slow::Board afterKey = slow::After(board, key);
            EXPECT_FALSE(slow::InCheck(afterKey, -1));
            const std::set<int> before = KingSteps(board);
            const std::set<int> after = KingSteps(afterKey);
            for (const int square : before) EXPECT_EQ(after.count(square), 1U) << "flight " << square;
            std::set<int> answers;
            for (const slow::Plain& defence : slow::Legal(afterKey)) {
                const std::vector<slow::Plain> mates = slow::MatesInOne(slow::After(afterKey, defence));
                ASSERT_EQ(mates.size(), 1U) << "after " << defence.From << "-" << defence.To;
                answers.insert(mates[0].From * 64 + mates[0].To);
            }
            EXPECT_GE(answers.size(), 2U);
            for (int square = 0; square < 64; ++square) {
                if (board.Sq[square] == 0 || std::abs(board.Sq[square]) == slow::K || square == key.From) continue;
                slow::Board without = board;
                without.Sq[square] = 0;
                EXPECT_FALSE(SoundWith(without, key)) << "removable " << square;
            }
        }
    }
}

}  // namespace
}  // namespace problems
