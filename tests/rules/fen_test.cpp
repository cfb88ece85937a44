#include <gtest/gtest.h>

#include "rules/fen.h"

namespace rules {
namespace {

TEST(Fen, RanksAndFilesMapToRowsAndFileIndices) {
    Position p;
    std::string error;
    ASSERT_TRUE(ParseFen("r3k3/1P6/8/3Pp3/8/8/6p1/4K2R b - - 12 40", p, error)) << error;
    EXPECT_EQ(p.SideToMove(), Black);
    EXPECT_EQ(p.At(1, 1), -Rook);  // a8
    EXPECT_EQ(p.At(5, 1), -King);  // e8
    EXPECT_EQ(p.At(2, 2), Pawn);   // b7
    EXPECT_EQ(p.At(4, 4), Pawn);   // d5
    EXPECT_EQ(p.At(5, 4), -Pawn);  // e5
    EXPECT_EQ(p.At(7, 7), -Pawn);  // g2
    EXPECT_EQ(p.At(5, 8), King);   // e1
    EXPECT_EQ(p.At(8, 8), Rook);   // h1
    int pieces = 0;
    for (const auto& file : p.Squares()) {
        for (const PieceCode code : file) pieces += code != NoPiece;
    }
    EXPECT_EQ(pieces, 8);
}

TEST(Fen, WriteReadsBackTheSamePosition) {
    const char* fens[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1", "r3k3/1P6/8/3Pp3/8/8/6p1/4K2R b - - 0 1",
        "r5rk/5Q2/Q7/Q2Q2Q1/8/1Q3Q2/Q3Q3/K1Q5 w - - 0 1",        "7k/8/8/8/8/8/8/K7 b - - 0 1",
        "NNNN3k/BBBB4/8/8/8/8/bbbb4/nnnn3K w - - 0 1",
    };
    for (const char* fen : fens) {
        Position p;
        std::string error;
        ASSERT_TRUE(ParseFen(fen, p, error)) << fen << ": " << error;
        EXPECT_EQ(WriteFen(p, p.SideToMove()), fen);
    }
    // Counters are optional; a write always gives "0 1".
    Position p;
    std::string error;
    ASSERT_TRUE(ParseFen("  4k3/8/8/8/8/8/8/4K3   b - -  ", p, error)) << error;
    EXPECT_EQ(WriteFen(p, Black), "4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    EXPECT_EQ(WriteFen(p, White), "4k3/8/8/8/8/8/8/4K3 w - - 0 1");
}

// Castling rights are read and ignored; an en-passant square is kept when a
// pawn of the side to move may take, and written back.
TEST(Fen, CastlingIsIgnoredAndEnPassantReadAndWritten) {
    Position p;
    std::string error;
    ASSERT_TRUE(ParseFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", p, error)) << error;
    EXPECT_EQ(WriteFen(p, White), "r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1");
    ASSERT_TRUE(ParseFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", p, error)) << error;
    EXPECT_EQ(p.EnPassantSquare(), (Square{4, 3}));
    EXPECT_EQ(WriteFen(p, White), "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_EQ(WriteFen(p, Black), "4k3/8/8/3pP3/8/8/8/4K3 b - - 0 1");
    ASSERT_TRUE(ParseFen("4k3/8/8/8/4Pp2/8/8/4K3 b Kq e3", p, error)) << error;
    EXPECT_EQ(WriteFen(p, Black), "4k3/8/8/8/4Pp2/8/8/4K3 b - e3 0 1");
    // No pawn to take: the square is read but not kept.
    ASSERT_TRUE(ParseFen("4k3/8/8/3p4/8/8/8/4K3 w - d6", p, error)) << error;
    EXPECT_TRUE(p.EnPassantSquare().IsNone());
}

TEST(Fen, MalformedInputIsRejectedWithAReasonAndChangesNothing) {
    const char* bad[] = {
        "",
        "4k3/8/8/8/8/8/8/4K3",          // no side to move
        "4k3/8/8/8/8/8/8/4K3 w",        // no castling or en passant field
        "4k3/8/8/8/8/8/8/4K3 w - - 0",  // one counter only
        "4k3/8/8/8/8/8/8/4K3 w - - 0 1 extra",
        "4k3/8/8/8/8/8/4K3 w - -",      // seven ranks
        "4k3/8/8/8/8/8/8/8/4K3 w - -",  // nine ranks
        "4k3/8/8/8/8/8/8/4K3/ w - -",
        "4k4/8/8/8/8/8/8/4K3 w - -",  // nine squares on a rank
        "4k2/8/8/8/8/8/8/4K3 w - -",  // seven squares
        "4k3/8/8/8/8/8/8/4K3p w - -",
        "4k3/8/8/9/8/8/8/4K3 w - -",
        "4k3/8/8/0/8/8/8/4K3 w - -",
        "4k3/8/8/3x4/8/8/8/4K3 w - -",  // unknown letter
        "4k3/8/8/8/8/8/8/8 w - -",      // no kings
        "4k3/8/8/8/8/8/8/4KK2 w - -",   // two white kings
        "4kk2/8/8/8/8/8/8/4K3 w - -",
        "4K3/8/8/8/8/8/8/4K3 w - -",        // no black king
        "4k3/8/8/8/8/8/8/4K3 x - -",        // side to move
        "4k3/8/8/8/8/8/8/R3K3 w QK -",      // castling letters out of order
        "4k3/8/8/8/8/8/8/4K3 w KKq -",      // a castling letter twice
        "4k3/8/8/8/8/8/8/4K3 w x -",        // no castling letter
        "4k3/8/8/3pP3/8/8/8/4K3 w - d3",    // en passant on the mover's own side
        "4k3/8/8/3pP3/8/8/8/4K3 b - d6",    // the wrong side to move for it
        "4k3/8/8/4P3/8/8/8/4K3 w - d6",     // no pawn stepped past d6
        "4k3/3p4/8/3pP3/8/8/8/4K3 w - d6",  // the pawn came through an occupied square
        "4k3/8/8/3pP3/8/8/8/4K3 w - d9",
        "4k3/8/8/3pP3/8/8/8/4K3 w - dd",
        "P3k3/8/8/8/8/8/8/4K3 w - -",     // pawn on rank 8
        "4k3/8/8/8/8/8/8/p3K3 w - -",     // pawn on rank 1
        "4k3/8/8/8/8/8/8/4K3 w - - a 1",  // counters not numbers
        "4k3/8/8/8/8/8/8/4K3 w - - -1 1",
    };
    for (const char* fen : bad) {
        Position p;
        p.Put(3, 3, Queen);
        p.SetSideToMove(Black);
        const Position before = p;
        std::string error;
        EXPECT_FALSE(ParseFen(fen, p, error)) << fen;
        EXPECT_FALSE(error.empty()) << fen;
        EXPECT_EQ(error.find('\n'), std::string::npos) << fen;
        EXPECT_TRUE(p == before) << fen;
    }
}

}  // namespace
}  // namespace rules
