#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/rules/test_support.h"

namespace rules {
namespace {

// Captures, promotions with and without capture, king moves, for both sides.
constexpr const char* Positions[] = {
    "r3k3/1P6/8/3Pp3/8/8/6p1/4K2R w - -",         "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
    "r1b1k1nr/8/1q6/3Q4/8/2N5/8/R1B1K2R b - -",   "4k3/8/8/8/1b6/8/3N4/4K2q w - -",
    "r5rk/5Q2/Q7/Q2Q2Q1/8/1Q3Q2/Q3Q3/K1Q5 w - -",
};

// The same squares and side set up afresh, square by square: a position
// that has kept its king squares right compares equal to it.
Position SetUpAfresh(const Position& p) {
    Position fresh;
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) fresh.Put(file, row, p.At(file, row));
    }
    fresh.SetSideToMove(p.SideToMove());
    return fresh;
}

TEST(PlayMove, ChangesTheTwoSquaresAndHandsOverTheMove) {
    int captures = 0;
    int promotions = 0;
    for (const char* fen : Positions) {
        Position p = Loaded(fen);
        const Position before = p;
        const MoveList moves = p.LegalMoves();
        ASSERT_GT(moves.Count(), 0) << fen;
        for (int entry = 1; entry <= moves.Count(); ++entry) {
            const Move move = moves[entry];
            const PieceCode target = p.At(move.ToFile, move.ToRow);
            BoardCellsArray expected = before.Squares();
            expected[move.FromFile][move.FromRow] = NoPiece;
            expected[move.ToFile][move.ToRow] = move.PlacedPiece;

            const Undo undo = p.Play(move);
            EXPECT_EQ(undo.Captured, target) << fen << " entry " << entry;
            EXPECT_EQ(p.Squares(), expected) << fen << " entry " << entry;
            EXPECT_NE(p.SideToMove(), before.SideToMove());
            EXPECT_TRUE(p == SetUpAfresh(p)) << fen << " entry " << entry;
            p.TakeBack(move, undo);
            ASSERT_TRUE(p == before) << fen << " entry " << entry;
            captures += target != NoPiece;
            promotions += move.IsPromotion();
        }
    }
    EXPECT_GT(captures, 10);
    EXPECT_GT(promotions, 10);
}

// Random games of up to eight moves from each position, every move checked
// against a position set up afresh, then all taken back in reverse order.
TEST(PlayMove, TakingBackALineOfMovesRestoresEverything) {
    std::mt19937 random(11);
    for (const char* fen : Positions) {
        for (int game = 0; game < 40; ++game) {
            Position p = Loaded(fen);
            const Position start = p;
            std::vector<std::pair<Move, Undo>> played;
            for (int ply = 0; ply < 8; ++ply) {
                const MoveList moves = p.LegalMoves();
                if (moves.Count() == 0) break;
                const Move move = moves[std::uniform_int_distribution<int>(1, moves.Count())(random)];
                played.emplace_back(move, p.Play(move));
                ASSERT_TRUE(p == SetUpAfresh(p)) << fen << " game " << game << " ply " << ply;
                // The answers of the played-on position are those of the fresh one.
                const Position fresh = SetUpAfresh(p);
                ASSERT_EQ(MoveTexts(p.LegalMoves()), MoveTexts(fresh.LegalMoves()));
                ASSERT_EQ(p.InCheck(), fresh.InCheck());
            }
            for (auto move = played.rbegin(); move != played.rend(); ++move) p.TakeBack(move->first, move->second);
            ASSERT_TRUE(p == start) << fen << " game " << game;
        }
    }
}

// A position no game reaches: White to move may take the Black king. The
// king comes back with the take-back.
TEST(PlayMove, AKingTakenComesBackWithTheTakeBack) {
    Position p = Loaded("k7/8/8/8/8/8/8/R6K w - -");
    const Position before = p;
    const MoveList moves = p.LegalMoves();
    const Move capture = moves[moves.Count() - 3];  // the rook's last move, a1-a8, before the king's three
    ASSERT_EQ(MoveText(capture), "Лa1-a8");
    const Undo undo = p.Play(capture);
    EXPECT_EQ(undo.Captured, -King);
    EXPECT_FALSE(p.IsBlackKingAttacked());  // no Black king on the board
    EXPECT_TRUE(p == SetUpAfresh(p));
    p.TakeBack(capture, undo);
    EXPECT_TRUE(p == before);
    EXPECT_TRUE(p.IsBlackKingAttacked());
}

TEST(PlayMove, PutReplacesWhatStoodOnTheSquare) {
    Position p = Loaded("4k3/8/8/8/8/8/8/4K3 w - -");
    p.Put(5, 8, Rook);  // the White king is gone
    p.Put(5, 1, NoPiece);
    EXPECT_TRUE(p == SetUpAfresh(p));
    p.Put(1, 1, -King);
    p.Put(8, 8, King);
    EXPECT_TRUE(p == SetUpAfresh(p));
    EXPECT_FALSE(p.IsBlackKingAttacked());
    p.Put(1, 8, Rook);  // a1: the rook on the a-file checks the king on a8
    EXPECT_TRUE(p.IsBlackKingAttacked());
    p.Clear();
    EXPECT_TRUE(p == Position{});
}

}  // namespace
}  // namespace rules
