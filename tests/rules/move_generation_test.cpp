#include <gtest/gtest.h>

#include "rules/move_text.h"
#include "rules/position.h"
#include "tests/rules/test_support.h"

namespace rules {
namespace {

TEST(MoveGeneration, TenEntryExampleFromTheRules) {
    Position p;
    MoveList moves;
    p.Put(8, 8, King);    // h1
    p.Put(2, 8, Knight);  // b1
    p.Put(1, 2, Pawn);    // a7
    p.Put(8, 1, -King);   // h8
    moves = p.GenerateWhiteMoves();
    ASSERT_EQ(moves.Count(), 10);
    const char* expected[] = {"a7-a8К", "a7-a8С", "a7-a8Л",  "a7-a8Ф",  "Кb1-d2",
                              "Кb1-a3", "Кb1-c3", "Крh1-g2", "Крh1-g1", "Крh1-h2"};
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(MoveText(moves[i]), expected[i - 1]) << i;
    const int placed[] = {3, 4, 5, 9, 3, 3, 3, 100, 100, 100};
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(moves[i].PlacedPiece, placed[i - 1]) << i;
        EXPECT_EQ(moves[i].MovedPiece, i <= 4 ? 2 : placed[i - 1]) << i;
    }
}

TEST(MoveGeneration, KingVisitsItsBlockFileByFile) {
    Position p;
    MoveList moves;
    Load(p, "k7/8/8/8/4K3/8/8/8 w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_EQ(MoveTexts(moves),
              (Texts{"Крe4-d5", "Крe4-d4", "Крe4-d3", "Крe4-e5", "Крe4-e3", "Крe4-f5", "Крe4-f4", "Крe4-f3"}));
    moves = p.GenerateBlackMoves();  // a king in the corner
    EXPECT_EQ(MoveTexts(moves), (Texts{"Крa8-a7", "Крa8-b8", "Крa8-b7"}));
}

TEST(MoveGeneration, KnightJumpOrderSkipsOwnPiecesAndTakesEnemies) {
    Position p;
    MoveList moves;
    Load(p, "k7/8/4p3/5P2/3N4/8/8/K7 w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_EQ(MoveTextsFrom(moves, 4, 5),
              (Texts{"Кd4-f3", "Кd4-b5", "Кd4-b3", "Кd4-c2", "Кd4-e2", "Кd4-c6", "Кd4-e6"}));
    Load(p, "N7/8/8/8/8/8/8/K6k w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_EQ(MoveTextsFrom(moves, 1, 1), (Texts{"Кa8-c7", "Кa8-b6"}));
}

TEST(MoveGeneration, SlidersStopAtPiecesAndTakeOnlyEnemies) {
    Position p;
    MoveList moves;
    Load(p, "k7/8/5p2/8/3B4/8/1P6/7K w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_EQ(MoveTextsFrom(moves, 4, 5),
              (Texts{"Сd4-e3", "Сd4-f2", "Сd4-g1", "Сd4-c5", "Сd4-b6", "Сd4-a7", "Сd4-c3", "Сd4-e5", "Сd4-f6"}));
    Load(p, "k7/8/3p4/8/3R1P2/8/8/7K w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_EQ(MoveTextsFrom(moves, 4, 5),
              (Texts{"Лd4-c4", "Лd4-b4", "Лd4-a4", "Лd4-e4", "Лd4-d5", "Лd4-d6", "Лd4-d3", "Лd4-d2", "Лd4-d1"}));
}

TEST(MoveGeneration, QueenWalksTheDiagonalsBeforeTheLines) {
    Position p;
    MoveList moves;
    Load(p, "k7/8/8/8/8/8/1Q6/7K w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_EQ(MoveTextsFrom(moves, 2, 7),
              (Texts{"Фb2-c1", "Фb2-a3", "Фb2-a1", "Фb2-c3", "Фb2-d4", "Фb2-e5", "Фb2-f6", "Фb2-g7",
                     "Фb2-h8", "Фb2-a2", "Фb2-c2", "Фb2-d2", "Фb2-e2", "Фb2-f2", "Фb2-g2", "Фb2-h2",
                     "Фb2-b3", "Фb2-b4", "Фb2-b5", "Фb2-b6", "Фb2-b7", "Фb2-b8", "Фb2-b1"}));
}

TEST(MoveGeneration, ListFollowsTheScanFileByFileFromRank8Down) {
    Position p;
    MoveList moves;
    Load(p, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_EQ(MoveTexts(moves),
              (Texts{"a2-a4", "a2-a3", "b2-b4", "b2-b3", "Кb1-a3", "Кb1-c3", "c2-c4",  "c2-c3",  "d2-d4", "d2-d3",
                     "e2-e4", "e2-e3", "f2-f4", "f2-f3", "g2-g4",  "g2-g3",  "Кg1-f3", "Кg1-h3", "h2-h4", "h2-h3"}));
    moves = p.GenerateBlackMoves();
    EXPECT_EQ(MoveTexts(moves),
              (Texts{"a7-a5", "a7-a6", "Кb8-a6", "Кb8-c6", "b7-b5",  "b7-b6",  "c7-c5", "c7-c6", "d7-d5", "d7-d6",
                     "e7-e5", "e7-e6", "f7-f5",  "f7-f6",  "Кg8-f6", "Кg8-h6", "g7-g5", "g7-g6", "h7-h5", "h7-h6"}));
}

TEST(MoveGeneration, PawnPromotesByStepAndByCaptureInFixedOrder) {
    Position p;
    MoveList moves;
    Load(p, "r1n4k/1P6/8/8/8/8/8/K7 w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_EQ(MoveTextsFrom(moves, 2, 2), (Texts{"b7-b8К", "b7-b8С", "b7-b8Л", "b7-b8Ф", "b7-a8К", "b7-a8С", "b7-a8Л",
                                                 "b7-a8Ф", "b7-c8К", "b7-c8С", "b7-c8Л", "b7-c8Ф"}));
    const int placed[] = {Knight, Bishop, Rook, Queen};
    const int firstPawnEntry = 4;  // after the three moves of the king on a1
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(moves[firstPawnEntry + i].MovedPiece, Pawn);
        EXPECT_EQ(moves[firstPawnEntry + i].PlacedPiece, placed[i % 4]);
    }

    Load(p, "k7/8/8/8/8/8/6p1/K6R b - -");  // Black promotes toward rank 1
    moves = p.GenerateBlackMoves();
    EXPECT_EQ(MoveTextsFrom(moves, 7, 7),
              (Texts{"g2-g1К", "g2-g1С", "g2-g1Л", "g2-g1Ф", "g2-h1К", "g2-h1С", "g2-h1Л", "g2-h1Ф"}));
    EXPECT_EQ(moves[firstPawnEntry].MovedPiece, -Pawn);  // again after three king moves
    EXPECT_EQ(moves[firstPawnEntry].PlacedPiece, -Knight);
    EXPECT_EQ(moves[firstPawnEntry + 3].PlacedPiece, -Queen);
}

TEST(MoveGeneration, PawnStepsAndCaptures) {
    struct Case {
        const char* fen;
        int file;
        int row;
        Texts expected;
    };
    const Case cases[] = {
        // double step, single step, capture toward the a-file, toward the h-file
        {"k7/8/8/8/8/3p1p2/4P3/K7 w - -", 5, 7, {"e2-e4", "e2-e3", "e2-d3", "e2-f3"}},
        {"k7/8/8/8/4p3/8/4P3/K7 w - -", 5, 7, {"e2-e3"}},  // the double step needs both squares
        {"k7/8/8/8/8/4p3/4P3/K7 w - -", 5, 7, {}},         // blocked: no capture straight ahead
        {"k7/8/8/8/8/4P3/8/K7 w - -", 5, 6, {"e3-e4"}},    // only from its home rank
        {"k7/8/8/p6p/P6P/8/8/K7 w - -", 1, 5, {}},
        {"k7/8/8/1p4p1/P6P/8/8/K7 w - -", 1, 5, {"a4-a5", "a4-b5"}},
        {"k7/8/8/1p4p1/P6P/8/8/K7 w - -", 8, 5, {"h4-h5", "h4-g5"}},
        {"r3k3/7P/8/8/8/8/8/K7 w - -", 8, 2, {"h7-h8К", "h7-h8С", "h7-h8Л", "h7-h8Ф"}},  // no capture across the board
        {"k7/4p3/3P1P2/8/8/8/8/K7 b - -", 5, 2, {"e7-e5", "e7-e6", "e7-d6", "e7-f6"}},
        {"k7/4p3/4P3/8/8/8/8/K7 b - -", 5, 2, {}},
        {"k7/8/4p3/8/8/8/8/K7 b - -", 5, 3, {"e6-e5"}},
    };
    for (const Case& c : cases) {
        Position p;
        MoveList moves;
        Load(p, c.fen);
        moves = p.SideToMove() == White ? p.GenerateWhiteMoves() : p.GenerateBlackMoves();
        EXPECT_EQ(MoveTextsFrom(moves, c.file, c.row), c.expected) << c.fen;
    }
}

TEST(MoveGeneration, CaptureOfTheEnemyKingIsGenerated) {
    Position p;
    MoveList moves;
    Load(p, "k7/8/8/8/8/8/8/R6K w - -");
    moves = p.GenerateWhiteMoves();
    const Texts rook = MoveTextsFrom(moves, 1, 8);
    ASSERT_EQ(rook.size(), 13u);
    EXPECT_EQ(rook.back(), "Лa1-a8");
}

// Ten white queens give far more than 100 moves; every one of them is kept.
TEST(MoveGeneration, CrowdedPositionKeepsEveryMove) {
    Position p;
    MoveList moves;
    Load(p, "r5rk/5Q2/Q7/Q2Q2Q1/8/1Q3Q2/Q3Q3/K1Q5 w - -");
    moves = p.GenerateWhiteMoves();
    EXPECT_GT(moves.Count(), 100);
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        ASSERT_EQ(p.At(moves[entry].FromFile, moves[entry].FromRow), moves[entry].MovedPiece);
        ASSERT_LE(p.At(moves[entry].ToFile, moves[entry].ToRow), 0);
    }
    EXPECT_EQ(p.LegalMoves().Count(), 150);  // the legal-move count an independent engine gives
}

TEST(MoveGeneration, BorderRingStaysEmpty) {
    Position p;
    Load(p, "r5rk/5Q2/Q7/Q2Q2Q1/8/1Q3Q2/Q3Q3/K1Q5 w - -");
    const MoveList white = p.LegalMoves();
    for (int entry = 1; entry <= white.Count(); ++entry) {
        const Undo undo = p.Play(white[entry]);
        const MoveList replies = p.LegalMoves();
        if (replies.Count() > 0) {
            const Undo reply = p.Play(replies[replies.Count()]);
            p.TakeBack(replies[replies.Count()], reply);
        }
        p.TakeBack(white[entry], undo);
    }
    for (int i = 0; i < BoardCells; ++i) {
        for (const int edge : {0, BoardCells - 1}) {
            EXPECT_EQ(p.At(i, edge), 0);
            EXPECT_EQ(p.At(edge, i), 0);
        }
    }
}

}  // namespace
}  // namespace rules
