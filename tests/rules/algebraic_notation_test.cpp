#include <gtest/gtest.h>

#include <set>

#include "rules/algebraic_notation.h"
#include "tests/rules/test_support.h"

namespace rules {
namespace {

// The notation of the legal move that the trainer's list writes as
// `trainerText` ("Кb1-d2", "e7-e8Ф"); "(no such move)" when none is.
std::string Notation(const std::string& fen, const std::string& trainerText) {
    const Position position = Loaded(fen);
    const MoveList moves = position.LegalMoves();
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        if (MoveText(moves[entry]) == trainerText) return AlgebraicNotation(position, moves[entry]);
    }
    return "(no such move)";
}

TEST(AlgebraicNotation, PieceLettersCapturesAndPawnMoves) {
    const std::string fen = "4k3/p7/8/3p4/8/8/4P3/R3K1N1 w - - 0 1";
    EXPECT_EQ(Notation(fen, "Лa1-a5"), "Ra5");
    EXPECT_EQ(Notation(fen, "Лa1-a7"), "Rxa7");
    EXPECT_EQ(Notation(fen, "Кg1-f3"), "Nf3");
    EXPECT_EQ(Notation(fen, "Крe1-f2"), "Kf2");
    EXPECT_EQ(Notation(fen, "e2-e4"), "e4");
    EXPECT_EQ(Notation(fen, "e2-e3"), "e3");
    EXPECT_EQ(Notation("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4-d5"), "exd5");
    EXPECT_EQ(Notation("4k3/8/8/8/8/8/8/1B2K3 w - - 0 1", "Сb1-h7"), "Bh7");
}

TEST(AlgebraicNotation, PromotionsNameTheNewPiece) {
    const std::string fen = "3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1";
    EXPECT_EQ(Notation(fen, "e7-e8Ф"), "e8=Q+");
    EXPECT_EQ(Notation(fen, "e7-e8Л"), "e8=R+");
    EXPECT_EQ(Notation(fen, "e7-e8С"), "e8=B");
    EXPECT_EQ(Notation(fen, "e7-e8К"), "e8=N");
    EXPECT_EQ(Notation(fen, "e7-d8Ф"), "exd8=Q+");
    EXPECT_EQ(Notation(fen, "e7-d8К"), "exd8=N");
}

TEST(AlgebraicNotation, FromSquareOnlyWhereAnotherMoveNeedsTellingApart) {
    // Two knights reach d2: the files tell them apart.
    const std::string knights = "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1";
    EXPECT_EQ(Notation(knights, "Кb1-d2"), "Nbd2");
    EXPECT_EQ(Notation(knights, "Кf1-d2"), "Nfd2");
    EXPECT_EQ(Notation(knights, "Кb1-c3"), "Nc3");  // only one knight reaches c3
    // Two rooks on one file: the ranks tell them apart.
    const std::string rooks = "4k3/8/8/R7/8/8/8/R3K3 w - - 0 1";
    EXPECT_EQ(Notation(rooks, "Лa1-a3"), "R1a3");
    EXPECT_EQ(Notation(rooks, "Лa5-a3"), "R5a3");
    EXPECT_EQ(Notation(rooks, "Лa1-b1"), "Rb1");
    // Three queens reach b2: one needs its whole square, the others a file or a rank.
    const std::string queens = "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1";
    EXPECT_EQ(Notation(queens, "Фa1-b2"), "Qa1b2");
    EXPECT_EQ(Notation(queens, "Фa3-b2"), "Q3b2");
    EXPECT_EQ(Notation(queens, "Фc1-b2"), "Qcb2");
    // Two rooks on one rank both reach the piece between them.
    const std::string rank = "4k3/8/8/8/8/7K/8/R3n2R w - - 0 1";
    EXPECT_EQ(Notation(rank, "Лa1-e1"), "Raxe1+");
    EXPECT_EQ(Notation(rank, "Лh1-e1"), "Rhxe1+");
    EXPECT_EQ(Notation(rank, "Лh1-h2"), "Rh2");
}

// A pinned knight cannot go to c2, so the other one needs no from-square.
TEST(AlgebraicNotation, AnIllegalMoveTellsNothingApart) {
    EXPECT_EQ(Notation("r3k3/8/8/8/8/N3N3/8/K7 w - - 0 1", "Кe3-c2"), "Nc2");
    EXPECT_EQ(Notation("4k3/8/8/8/8/N3N3/8/K7 w - - 0 1", "Кe3-c2"), "Nec2");
}

TEST(AlgebraicNotation, CheckAndMateMarks) {
    EXPECT_EQ(Notation("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "Лa1-a8"), "Ra8#");
    EXPECT_EQ(Notation("6k1/5pp1/8/8/8/8/8/R5K1 w - - 0 1", "Лa1-a8"), "Ra8+");  // h7 is free
    EXPECT_EQ(Notation("7k/8/6K1/8/8/8/8/1Q6 w - - 0 1", "Фb1-b8"), "Qb8#");
    EXPECT_EQ(Notation("7k/8/5K2/8/8/8/8/6Q1 w - - 0 1", "Фg1-g7"), "Qg7#");  // the king guards the queen
    EXPECT_EQ(Notation("7k/8/8/8/8/8/8/4K1Q1 w - - 0 1", "Фg1-g7"), "Qg7+");  // the king takes it
    // Stalemate is no mark; a discovered check by the king's own step is.
    EXPECT_EQ(Notation("7k/8/6K1/8/8/8/8/5Q2 w - - 0 1", "Фf1-f7"), "Qf7");
    EXPECT_EQ(Notation("k7/8/8/8/K7/8/8/R7 w - - 0 1", "Крa4-b4"), "Kb4+");
    // A capture that checks (the king takes back), one that only comes close.
    EXPECT_EQ(Notation("k7/p7/8/8/8/8/8/R6K w - - 0 1", "Лa1-a7"), "Rxa7+");
    EXPECT_EQ(Notation("6rk/6pp/8/8/8/8/8/6RK w - - 0 1", "Лg1-g7"), "Rxg7");
}

TEST(AlgebraicNotation, BlackMoves) {
    EXPECT_EQ(Notation("4k3/8/8/8/8/8/4p3/3RK3 b - - 0 1", "e2-d1Ф"), "exd1=Q+");
    EXPECT_EQ(Notation("4k3/8/8/8/8/8/4p3/K2R4 b - - 0 1", "e2-e1Ф"), "e1=Q");  // the rook stands between
    EXPECT_EQ(Notation("4k3/8/8/8/8/8/4p3/K2R4 b - - 0 1", "e2-d1Ф"), "exd1=Q+");
    EXPECT_EQ(Notation("1n2kn2/8/8/8/8/8/8/4K3 b - - 0 1", "Кb8-d7"), "Nbd7");
    EXPECT_EQ(Notation("4k3/8/8/8/8/8/r4PPP/6K1 b - - 0 1", "Лa2-b2"), "Rb2");
    EXPECT_EQ(Notation("4k3/8/8/8/8/8/r4PPP/6K1 b - - 0 1", "Лa2-a1"), "Ra1#");
}

// Over every legal move of crowded positions: no two moves read the same,
// and the notation is built from the parts a reader expects.
TEST(AlgebraicNotation, EveryMoveOfAPositionReadsDifferently) {
    const char* fens[] = {
        "r5rk/5Q2/Q7/Q2Q2Q1/8/1Q3Q2/Q3Q3/K1Q5 w - - 0 1", "NNNN3k/BBBB4/8/8/8/8/bbbb4/nnnn3K w - - 0 1",
        "NNNN3k/BBBB4/8/8/8/8/bbbb4/nnnn3K b - - 0 1",    "r1b1k2r/1P6/8/8/3Q1Q2/2N3N1/2RR4/4K3 w - - 0 1",
        "1n1n1n2/P1P1P1P1/8/8/8/8/8/K6k w - - 0 1",
    };
    for (const char* fen : fens) {
        SCOPED_TRACE(fen);
        const Position position = Loaded(fen);
        const MoveList moves = position.LegalMoves();
        ASSERT_GT(moves.Count(), 0);
        std::set<std::string> texts;
        for (int entry = 1; entry <= moves.Count(); ++entry) {
            const Move move = moves[entry];
            const std::string text = AlgebraicNotation(position, move);
            EXPECT_TRUE(texts.insert(text).second) << "twice: " << text;
            const bool capture = position.At(move.ToFile, move.ToRow) != NoPiece;
            EXPECT_EQ(text.find('x') != std::string::npos, capture) << text;
            EXPECT_EQ(text.find('=') != std::string::npos, move.IsPromotion()) << text;
        }
    }
}

}  // namespace
}  // namespace rules
