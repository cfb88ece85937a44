// The rules core counted against an engine's legal-move trees in positions
// set up with an en-passant square: the capture it allows at once, one that
// would leave the king attacked along the rank or the diagonal, one that
// takes a checking pawn, two pawns that may both take, and the double steps
// that arise inside the trees.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rules/fen.h"
#include "rules/perft.h"
#include "rules/position.h"

namespace rules {
namespace {

// Reference counts from Stockfish 15.1 as packaged by Debian 12
// (/usr/games/stockfish): "position fen FEN", then "go perft N" for
// N = 1, 2, ...; the engine prints the count as "Nodes searched". None of
// these positions allows castling, which the core does not know.
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

Position Loaded(const std::string& fen, EnPassantRule rule = EnPassantRule::Played) {
    Position position(rule);
    std::string error;
    EXPECT_TRUE(ParseFen(fen, position, error)) << error;
    return position;
}

void ExpectEngineCounts(const TreeCounts& counts) {
    SCOPED_TRACE(counts.Fen);
    const Position position = Loaded(counts.Fen);
    for (std::size_t depth = 1; depth <= counts.LeavesAtDepth.size(); ++depth) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        EXPECT_EQ(CountLeaves(position, static_cast<int>(depth)), counts.LeavesAtDepth[depth - 1]);
    }
}

TEST(EnPassantPerft, TreesFromAnEnPassantSquareMatchTheEngine) {
    for (const TreeCounts& counts : EnPassantCases) ExpectEngineCounts(counts);
}

TEST(EnPassantPerft, TreesWithDoubleStepsInsideMatchTheEngine) {
    for (const TreeCounts& counts : DoubleStepCases) ExpectEngineCounts(counts);
}

// Both captures come last, each removes the pawn beside its target, and
// taking it back puts the pawn and the square back.
TEST(EnPassantPerft, TheCaptureIsPlayedAndTakenBackThroughTheUndoRecord) {
    Position position = Loaded("4k3/8/8/8/3pPp2/8/8/4K3 b - e3 0 1");
    ASSERT_EQ(position.EnPassantSquare(), (Square{5, 6}));
    const MoveList moves = position.LegalMoves();
    ASSERT_EQ(moves.Count(), 9);
    for (int entry = moves.Count() - 1; entry <= moves.Count(); ++entry) {
        const Move capture = moves[entry];
        EXPECT_EQ(capture.To(), (Square{5, 6}));
        EXPECT_TRUE(position.IsEnPassantCapture(capture));
        EXPECT_TRUE(position.IsLegal(capture));
        const Position before = position;
        const Undo undo = position.Play(capture);
        EXPECT_EQ(position.At(5, 5), NoPiece);  // e4 emptied
        EXPECT_EQ(position.At(5, 6), -Pawn);
        EXPECT_TRUE(position.EnPassantSquare().IsNone());
        position.TakeBack(capture, undo);
        EXPECT_EQ(position, before);
    }
}

// The trainer's rule records no double step: the same moves give no
// capture en passant, so its trees are those of a game without it.
TEST(EnPassantPerft, TheTrainersRuleRecordsNoDoubleStep) {
    const char* fen = "8/8/8/1p6/2p5/2K5/1P2Q3/k7 w - - 0 1";
    Position game = Loaded(fen);
    Position trainer = Loaded(fen, EnPassantRule::NotPlayed);
    const Move doubleStep{2, 7, 2, 5, Pawn, Pawn};  // b2-b4
    ASSERT_TRUE(game.IsLegal(doubleStep));
    [[maybe_unused]] const Undo gameUndo = game.Play(doubleStep);
    [[maybe_unused]] const Undo trainerUndo = trainer.Play(doubleStep);
    EXPECT_EQ(game.EnPassantSquare(), (Square{2, 6}));
    EXPECT_TRUE(trainer.EnPassantSquare().IsNone());
    EXPECT_EQ(game.LegalMoves().Count(), trainer.LegalMoves().Count() + 1);
    EXPECT_TRUE(game.CanTakeEnPassant(doubleStep));
    EXPECT_TRUE(trainer.CanTakeEnPassant(doubleStep));  // the question the trainer asks
    // Stockfish's 1379 leaves three plies down hold captures en passant.
    EXPECT_EQ(CountLeaves(Loaded(fen), 3), 1379u);
    EXPECT_LT(CountLeaves(Loaded(fen, EnPassantRule::NotPlayed), 3), 1379u);
}

}  // namespace
}  // namespace rules
