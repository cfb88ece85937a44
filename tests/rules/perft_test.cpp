#include <gtest/gtest.h>

#include <vector>

#include "rules/perft.h"
#include "tests/rules/test_support.h"

namespace rules {
namespace {

// Reference counts of the legal-move tree, computed with Stockfish 15.1 as
// packaged by Debian 12 (/usr/games/stockfish): "position fen FEN 0 1", then
// "go perft N" for N = 1, 2, ... An engine that knows en passant plays it
// inside the tree after a double step, which these rules do not; so every
// position here has no white pawn on rank 2 and no black pawn on rank 7, and
// no double step can ever arise in its tree.
struct TreeCounts {
    const char* fen;
    std::vector<std::uint64_t> leavesAtDepth;  // depth 1, 2, ...
};
const TreeCounts DeepCases[] = {
    {"8/8/8/8/8/8/8/K6k w - -", {3, 9, 54, 324}},                         // two bare kings
    {"4k3/8/8/8/8/8/8/R3K2R w - -", {24, 106, 2958, 16760}},              // rooks against a bare king
    {"r3k2r/8/8/8/8/8/8/R3K2R b - -", {24, 482, 11522}},                  // rooks on both sides
    {"8/PPPk4/8/8/8/8/4Kppp/8 w - -", {18, 270, 4699, 79355}},            // promotions for both colours
    {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -", {24, 496, 9483, 182838}},     // promotions with captures
    {"4k3/4r3/8/8/8/8/4B3/4K3 w - -", {4, 64, 790, 12690}},               // a bishop pinned on the file
    {"4k3/8/8/8/1b6/8/3N4/4K2q w - -", {2, 68, 573, 18704}},              // a knight pinned, the king in check
    {"kr6/rb6/8/2QQQQQ1/2QQQQQ1/8/8/7K w - -", {95, 1252, 116189}},       // ten white queens
    {"kr6/rb6/8/2QQQQQ1/2QQQQQ1/8/8/7K b - -", {14, 1150, 20222}},        // ten white queens, Black to move
    {"r5rk/5Q2/Q7/Q2Q2Q1/8/1Q3Q2/Q3Q3/K1Q5 w - -", {150, 1765, 259341}},  // ten queens spread out, 150 moves
    {"r5rk/5Q2/Q7/Q2Q2Q1/8/1Q3Q2/Q3Q3/K1Q5 b - -", {15, 2215, 25735}},    // the same, Black to move
    {"q6k/8/8/3QQ3/3qq3/8/8/K6Q w - -", {0, 0, 0, 0}},                    // White mated by two queens at once
    {"NNNN3k/BBBB4/8/8/8/8/bbbb4/nnnn3K w - -", {39, 1391, 50447}},       // four knights and four bishops a side
    {"8/8/8/3k4/8/3K4/8/8 w - -", {5, 36, 257, 1920}},                    // kings in opposition
    {"7k/5Q2/6K1/8/8/8/8/8 b - -", {0, 0}},                               // stalemate
    {"7k/6Q1/6K1/8/8/8/8/8 b - -", {0, 0}},                               // checkmate
    {"4k3/8/8/8/8/8/3n4/r3K3 w - -", {3, 69, 335, 7269}},                 // double check
    {"8/8/3pp3/2pPPp2/2PppP2/3PP3/8/k6K w - -", {7, 51, 420, 3523}},      // locked pawns
    {"8/8/3pp3/2pPPp2/2PppP2/3PP3/8/k6K b - -", {7, 51, 428, 3515}},      // locked pawns, Black to move
    {"r3k3/1P6/8/3Pp3/8/8/6p1/4K2R w - -", {22, 362, 6581, 114767}},      // pawn captures and promotions
    {"3k4/3r4/8/3B4/8/3K4/8/8 w - -", {8, 104, 1686, 27804}},             // a rook pinned on the file against the king
    {"1k6/8/8/8/8/8/2Rq4/1K6 w - -", {13, 265, 3177, 71007}},          // rook and queen side by side before the kings
    {"K7/8/2n5/1k6/8/8/8/7q w - -", {1, 31, 100, 3354}},               // a king short of squares
    {"rnb1kbnr/8/8/8/8/8/8/RNB1KBNR w - -", {38, 1327, 48654}},        // back ranks without pawns
    {"r1b1k1nr/8/1q6/3Q4/8/2N5/8/R1B1K2R b - -", {50, 2647, 104481}},  // open middle game with queens
    {"8/2k5/8/2N1n3/8/4K3/8/8 w - -", {14, 188, 2315, 29216}},         // knights
    {"3q4/8/8/2kBK3/8/8/8/8 w - -", {17, 412, 3908, 93748}},           // kings two files apart
    {"4k3/P6P/8/8/8/8/p6p/4K3 b - -", {13, 128, 1638, 21118}},         // promotions on the rook files
};

// Positions with double steps, compared at depth 1 only (same source).
struct MoveCountCase {
    const char* fen;
    std::uint64_t moves;
};
const MoveCountCase DoubleStepCases[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -", 20},
    {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b - -", 20},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w - -", 46},
    {"4k3/8/8/8/8/4p3/4P3/4K3 w - -", 2},
    {"4k3/pppppppp/8/8/8/8/8/4K3 b - -", 18},
    {"4k3/p7/P7/8/8/8/6pP/4K3 w - -", 6},
};

TEST(LeafCount, MatchesAnIndependentEngine) {
    for (const TreeCounts& c : DeepCases) {
        const Position p = Loaded(c.fen);
        for (size_t depth = 1; depth <= c.leavesAtDepth.size(); ++depth) {
            EXPECT_EQ(CountLeaves(p, static_cast<int>(depth)), c.leavesAtDepth[depth - 1])
                << c.fen << " depth " << depth;
        }
    }
}

TEST(LeafCount, DoubleStepsAtTheFirstPly) {
    for (const MoveCountCase& c : DoubleStepCases) {
        EXPECT_EQ(CountLeaves(Loaded(c.fen), 1), c.moves) << c.fen;
    }
}

TEST(LeafCount, DepthZeroIsOneLeaf) { EXPECT_EQ(CountLeaves(Loaded("8/8/8/8/8/8/8/K6k w - -"), 0), 1u); }

}  // namespace
}  // namespace rules
