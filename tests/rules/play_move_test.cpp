#include <gtest/gtest.h>

#include <memory>

#include "rules/play_move.h"
#include "tests/rules/test_support.h"

namespace chess {
namespace {

// Captures, promotions with and without capture, king moves, for both sides.
constexpr const char* Positions[] = {
    "r3k3/1P6/8/3Pp3/8/8/6p1/4K2R w - -",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
    "r1b1k1nr/8/1q6/3Q4/8/2N5/8/R1B1K2R b - -",
    "4k3/8/8/8/1b6/8/3N4/4K2q w - -",
};

TEST(PlayMove, ChangesTheTwoSquaresAndTakingBackRestoresTheBoard) {
    int captures = 0;
    int promotions = 0;
    for (const char* fen : Positions) {
        Position p;
        Load(p, fen);
        p.GenerateLegalMoves();
        ASSERT_GT(p.MoveCount, 0) << fen;
        const BoardCellsArray before = p.Board;
        for (int entry = 1; entry <= p.MoveCount; ++entry) {
            const Move move = p.MoveList.Entry(entry);
            const PieceCode target = p.Board[move.ToFile][move.ToRow];
            BoardCellsArray expected = before;
            expected[move.FromFile][move.FromRow] = NoPiece;
            expected[move.ToFile][move.ToRow] = move.PlacedPiece;

            const PieceCode captured = PlayMove(p.Board, move);
            EXPECT_EQ(captured, target) << fen << " entry " << entry;
            EXPECT_EQ(p.Board, expected) << fen << " entry " << entry;
            TakeBackMove(p.Board, move, captured);
            ASSERT_EQ(p.Board, before) << fen << " entry " << entry;
            captures += captured != NoPiece;
            promotions += move.PlacedPiece != move.MovedPiece;
        }
    }
    EXPECT_GT(captures, 10);
    EXPECT_GT(promotions, 10);
}

TEST(GenerateLegalMoves, IsTheGeneratorOfTheSideToMoveThenTheFilter) {
    for (const char* fen : Positions) {
        for (const Side side : {White, Black}) {
            auto direct = std::make_unique<Position>();
            Load(*direct, fen);
            direct->SideToMove = side;
            auto combined = std::make_unique<Position>();
            Load(*combined, fen);
            combined->SideToMove = side;

            if (side == White) {
                direct->GenerateWhiteMoves();
            } else {
                direct->GenerateBlackMoves();
            }
            direct->FilterLegalMoves();
            combined->GenerateLegalMoves();
            EXPECT_EQ(MoveTexts(*combined), MoveTexts(*direct)) << fen << " side " << side;
            for (int entry = 1; entry <= direct->MoveCount; ++entry) {
                EXPECT_EQ(combined->MoveList.PlacedPiece[entry], direct->MoveList.PlacedPiece[entry]);
            }
            EXPECT_EQ(combined->InCheck, direct->InCheck);
            EXPECT_EQ(combined->Board, direct->Board);
        }
    }
}

TEST(GenerateLegalMoves, NoSideToMoveGivesNoMoves) {
    Position p;
    Load(p, Positions[0]);
    p.GenerateLegalMoves();
    ASSERT_GT(p.MoveCount, 0);
    p.SideToMove = 0;
    p.GenerateLegalMoves();
    EXPECT_EQ(p.MoveCount, 0);
}

}  // namespace
}  // namespace chess
