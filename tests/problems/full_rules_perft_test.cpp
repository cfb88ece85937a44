// The full rules counted against an engine's legal-move trees in positions
// set up with an en-passant square: the capture it allows at once, one that
// would leave the king attacked along the rank or the diagonal, one that
// takes a checking pawn, two pawns that may both take, and the double steps
// that arise inside the trees.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "problems/two_mover_rules.h"
#include "tests/problems/slow_solver.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using namespace problems::testing::slow;
using problems::testing::FullRulesLeaves;

// Reference counts from Stockfish 15.1 as packaged by Debian 12
// (/usr/games/stockfish): "position fen FEN", then "go perft N" for
// N = 1, 2, ...; the engine prints the count as "Nodes searched". None of
// these positions allows castling, which the full rules do not know.
struct TreeCounts {
    const char* Fen;
    std::vector<std::uint64_t> LeavesAtDepth;  // depth 1, 2, ...
};
const TreeCounts EnPassantCases[] = {
    // Black's king has one step; the other move takes the pawn that stepped b2-b4.
    {"8/8/8/1p6/1Pp5/2K5/4Q3/k7 b - b3 0 1", {2, 50, 134, 2908, 10565}},
    // White takes b7-b5 at once, or later after more double steps.
    {"2Q5/k7/8/Pp6/1R6/8/1K6/8 w - b6 0 1", {40, 69, 2498, 7984, 291119}},
    // Taking c7-c5 would empty the rank between the king and the queen.
    {"8/8/8/K1pP3q/8/8/8/7k w - c6 0 1", {5, 105, 620, 15173, 86270}},
    // Two pawns may take e2-e4.
    {"4k3/8/8/8/3pPp2/8/8/4K3 b - e3 0 1", {9, 46, 368, 2189, 18024}},
    // The pawn that stepped gives check, and taking it en passant answers it.
    {"8/8/8/5k2/3pP3/8/8/4K3 b - e3 0 1", {9, 49, 364, 2233, 16574}},
    // Taking d2-d4 would open the bishop's diagonal to the king.
    {"8/8/2k5/8/3Pp3/8/8/4K2B b - d3 0 1", {7, 62, 470, 5174, 34779}},
    // In check from the pawn that stepped, with the capture as the one reply.
    {"8/8/8/3k1K2/3pPB2/8/8/2R5 b - e3 0 1", {1, 27, 82, 2245, 13134}},
    // Taking c2-c4 en passant removes the pawn that would guard a queen's mate on b5.
    {"2K5/8/2Q5/k7/1pP4p/8/8/8 b - c3 0 1", {3, 79, 268, 6876, 34928}},
};

// The hand-made two-movers' positions, with no en-passant square: their
// trees hold double steps and their captures from the first moves on.
const TreeCounts DoubleStepCases[] = {
    {"8/8/8/1p6/2p5/2K5/1P2Q3/k7 w - - 0 1", {25, 69, 1379, 4748, 106521}},
    {"2K5/8/2Q5/k7/1p5p/8/2P5/8 w - - 0 1", {29, 97, 2596, 12032, 322039}},
    {"8/kpP5/8/P7/1R6/8/1K6/8 w - - 0 1", {24, 90, 2223, 7929, 197230}},
    {"8/8/8/3k1K2/3p1B2/8/4P3/2R5 w - - 0 1", {30, 68, 2016, 10383, 296352}},
};

// The en-passant square of a FEN's fourth field in the core's coordinates.
problems::EnPassantSquare EnPassantOf(const Board& board) {
    if (board.EnPassant < 0) return {};
    return {FileOf(board.EnPassant) + 1, 8 - RankOf(board.EnPassant)};
}

void ExpectEngineCounts(const TreeCounts& counts) {
    SCOPED_TRACE(counts.Fen);
    const Board board = FromFen(counts.Fen);
    problems::FullRules rules;
    rules.SetUp(ToCells(board), board.Side, EnPassantOf(board));
    for (std::size_t depth = 1; depth <= counts.LeavesAtDepth.size(); ++depth) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        EXPECT_EQ(FullRulesLeaves(rules, static_cast<int>(depth)), counts.LeavesAtDepth[depth - 1]);
    }
    // The slow solver's generator agrees where it is quick.
    EXPECT_EQ(Leaves(board, 3), counts.LeavesAtDepth[2]);
}

TEST(FullRulesPerft, TreesFromAnEnPassantSquareMatchTheEngine) {
    for (const TreeCounts& counts : EnPassantCases) ExpectEngineCounts(counts);
}

TEST(FullRulesPerft, TreesWithDoubleStepsInsideMatchTheEngine) {
    for (const TreeCounts& counts : DoubleStepCases) ExpectEngineCounts(counts);
}

TEST(FullRulesPerft, TheEnPassantSquareIsKeptAndTakenBack) {
    const Board board = FromFen("4k3/8/8/8/3pPp2/8/8/4K3 b - e3 0 1");
    problems::FullRules rules;
    rules.SetUp(ToCells(board), board.Side, EnPassantOf(board));
    ASSERT_EQ(rules.EnPassantTarget().File, 5);
    ASSERT_EQ(rules.EnPassantTarget().Row, 6);
    std::vector<rules::Move> moves;
    rules.LegalMoves(moves);
    ASSERT_EQ(moves.size(), 9U);
    // Both captures come last, and each removes the pawn beside its target.
    for (std::size_t index = moves.size() - 2; index < moves.size(); ++index) {
        const rules::Move capture = moves[index];
        EXPECT_EQ(capture.ToFile, 5);
        EXPECT_EQ(capture.ToRow, 6);
        const rules::BoardCellsArray before = rules.Board();
        const problems::PlayedMove played = rules.Play(capture);
        EXPECT_TRUE(played.EnPassant);
        EXPECT_EQ(rules.Board()[5][5], rules::NoPiece);  // e4 emptied
        EXPECT_EQ(rules.Board()[5][6], -rules::Pawn);
        EXPECT_EQ(rules.EnPassantTarget().File, 0);
        rules.TakeBack(played);
        EXPECT_EQ(rules.Board(), before);
        EXPECT_EQ(rules.EnPassantTarget().File, 5);
    }
    // Set up again without the square: no capture is left.
    rules.SetUp(ToCells(board), board.Side);
    rules.LegalMoves(moves);
    EXPECT_EQ(moves.size(), 7U);
}

}  // namespace
}  // namespace problems
