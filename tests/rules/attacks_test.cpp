#include <gtest/gtest.h>

#include "rules/position.h"
#include "tests/rules/test_support.h"

namespace chess {
namespace {

struct AttackCase {
    const char* fen;
    int expected;
};

int WhiteKingAttacked(const char* fen) {
    Position p;
    Load(p, fen);
    p.InCheck = 7;  // any stale value must be overwritten
    p.IsWhiteKingAttacked();
    return p.InCheck;
}

int BlackKingAttacked(const char* fen) {
    Position p;
    Load(p, fen);
    p.InCheck = 7;
    p.IsBlackKingAttacked();
    return p.InCheck;
}

TEST(AttackTests, SlidersAttackAlongOpenLinesOnly) {
    const AttackCase cases[] = {
        {"7k/8/8/8/8/8/8/r3K3 w - -", 1},                                       // rook on the row
        {"4r2k/8/8/8/8/8/8/4K3 w - -", 1},                                      // rook on the file
        {"7k/8/8/8/8/8/8/rn2K3 w - -", 0},                                      // a black knight between blocks
        {"7k/8/8/8/8/8/8/r1B1K3 w - -", 0},                                     // so does a white piece
        {"7k/8/8/8/8/8/8/q3K3 w - -", 1},                                       // queen on the row
        {"7k/8/8/8/8/8/3b4/4K3 w - -", 1},                                      // bishop diagonally adjacent
        {"7k/8/8/8/8/8/3q4/4K3 w - -", 1},                                      // queen diagonally adjacent
        {"7k/8/8/8/8/8/3r4/4K3 w - -", 0},                                      // a rook does not attack diagonally
        {"7k/8/8/b7/8/8/8/4K3 w - -", 1},                                       // bishop from afar
        {"7k/8/8/b7/8/2N5/8/4K3 w - -", 0}, {"7k/8/8/8/8/8/4b3/4K3 w - -", 0},  // a bishop does not attack straight
        {"k7/8/8/8/8/8/8/4K1r1 w - -", 1},  {"k7/8/8/8/8/8/8/4Kbr1 w - -", 0},  // a black bishop between blocks as well
    };
    for (const AttackCase& c : cases) EXPECT_EQ(WhiteKingAttacked(c.fen), c.expected) << c.fen;

    EXPECT_EQ(BlackKingAttacked("4k3/8/8/8/8/8/8/K3R3 w - -"), 1);
    EXPECT_EQ(BlackKingAttacked("4k3/8/8/8/8/8/8/K2BQ3 w - -"), 1);
    EXPECT_EQ(BlackKingAttacked("4k3/8/8/8/4n3/8/8/K3R3 w - -"), 0);
    EXPECT_EQ(BlackKingAttacked("4k3/8/8/8/B7/8/8/K7 w - -"), 1);
    EXPECT_EQ(BlackKingAttacked("4k3/8/8/8/R7/8/8/K7 w - -"), 0);
}

// A line from the king passes over a king of the same colour: two white
// kings on a1 and c1 do not shield each other from a rook on h1.
TEST(AttackTests, LinesPassOverAKingOfTheSameColour) {
    Position p;
    p.Board[1][8] = King;   // a1, found first by the scan
    p.Board[3][8] = King;   // c1
    p.Board[8][8] = -Rook;  // h1
    p.Board[8][1] = -King;  // h8
    p.IsWhiteKingAttacked();
    EXPECT_EQ(p.InCheck, 1);
    EXPECT_EQ(p.WhiteKingFile, 1);
    p.Board[8][8] = -Knight;
    p.IsWhiteKingAttacked();
    EXPECT_EQ(p.InCheck, 0);
}

TEST(AttackTests, PawnsAttackDiagonallyForwardOnly) {
    // White king on e4: black pawns attack it from d5 and f5.
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/3p4/4K3/8/8/8 w - -"), 1);
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/5p2/4K3/8/8/8 w - -"), 1);
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/4p3/4K3/8/8/8 w - -"), 0);
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/8/4K3/3p4/8/8 w - -"), 0);
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/8/4K3/5p2/8/8 w - -"), 0);
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/3P4/4K3/8/8/8 w - -"), 0);  // own pawns never attack
    // Black king on e5: white pawns attack it from d4 and f4.
    EXPECT_EQ(BlackKingAttacked("K7/8/8/4k3/3P4/8/8/8 w - -"), 1);
    EXPECT_EQ(BlackKingAttacked("K7/8/8/4k3/5P2/8/8/8 w - -"), 1);
    EXPECT_EQ(BlackKingAttacked("K7/8/8/4k3/4P3/8/8/8 w - -"), 0);
    EXPECT_EQ(BlackKingAttacked("K7/8/3P4/4k3/8/8/8/8 w - -"), 0);
    // On the edge the look beside the board finds nothing.
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/1p6/K7/8/8/8 w - -"), 1);
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/7p/K7/8/8/8 w - -"), 0);
}

TEST(AttackTests, KnightsAttackFromEveryJump) {
    const char* attacking[] = {
        "7k/8/8/3n4/8/4K3/8/8 w - -", "7k/8/8/5n2/8/4K3/8/8 w - -", "7k/8/8/8/2n5/4K3/8/8 w - -",
        "7k/8/8/8/6n1/4K3/8/8 w - -", "7k/8/8/8/8/4K3/2n5/8 w - -", "7k/8/8/8/8/4K3/6n1/8 w - -",
        "7k/8/8/8/8/4K3/8/3n4 w - -", "7k/8/8/8/8/4K3/8/5n2 w - -",
    };
    for (const char* fen : attacking) EXPECT_EQ(WhiteKingAttacked(fen), 1) << fen;
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/4n3/8/4K3/8/8 w - -"), 0);
    EXPECT_EQ(WhiteKingAttacked("7k/8/8/3N4/8/4K3/8/8 w - -"), 0);
    EXPECT_EQ(BlackKingAttacked("K7/8/8/8/8/4k3/2N5/8 w - -"), 1);
}

TEST(AttackTests, TouchingKingsAttackEachOther) {
    Position p;
    Load(p, "8/8/8/3k4/4K3/8/8/8 w - -");
    p.IsWhiteKingAttacked();
    EXPECT_EQ(p.InCheck, 1);
    p.IsBlackKingAttacked();
    EXPECT_EQ(p.InCheck, 1);

    // The filter strikes every king move next to the other king.
    Load(p, "8/8/8/3k4/8/4K3/8/8 w - -");
    p.GenerateWhiteMoves();
    p.FilterLegalMoves();
    EXPECT_EQ(MoveTexts(p), (Texts{"Крe3-d3", "Крe3-d2", "Крe3-e2", "Крe3-f4", "Крe3-f3", "Крe3-f2"}));
}

TEST(AttackTests, RecordTheKingSquaresEvenWhenTheLastOneIsStale) {
    Position p;
    Load(p, "8/8/8/3k4/8/4K3/8/8 w - -");
    p.WhiteKingFile = 1;  // a stale record that no longer holds the king
    p.WhiteKingRow = 1;
    p.IsWhiteKingAttacked();
    EXPECT_EQ(p.WhiteKingFile, 5);
    EXPECT_EQ(p.WhiteKingRow, 6);
    p.IsBlackKingAttacked();
    EXPECT_EQ(p.BlackKingFile, 4);
    EXPECT_EQ(p.BlackKingRow, 4);
}

TEST(AttackTests, NoKingOfTheColourLeavesInCheckZero) {
    Position p;
    p.Board[4][4] = -King;  // black king d5, white queen beside it, no white king
    p.Board[5][4] = Queen;
    p.Board[1][1] = -Rook;
    p.WhiteKingFile = 3;
    p.WhiteKingRow = 2;
    p.InCheck = 1;
    p.IsWhiteKingAttacked();
    EXPECT_EQ(p.InCheck, 0);
    EXPECT_EQ(p.WhiteKingFile, 3);
    EXPECT_EQ(p.WhiteKingRow, 2);
    p.IsBlackKingAttacked();
    EXPECT_EQ(p.InCheck, 1);

    Position empty;
    empty.InCheck = 1;
    empty.IsBlackKingAttacked();
    EXPECT_EQ(empty.InCheck, 0);
    EXPECT_EQ(empty.BlackKingFile, 0);
}

TEST(LegalMoveFilter, KingInCheckMayNotStepAlongTheCheckingLine) {
    Position p;
    Load(p, "7k/8/8/8/8/8/8/r3K3 w - -");
    p.GenerateWhiteMoves();
    p.FilterLegalMoves();
    // d1 is attacked; f1 too, because the king's old square is empty during the test.
    EXPECT_EQ(MoveTexts(p), (Texts{"Крe1-d2", "Крe1-e2", "Крe1-f2"}));
}

TEST(LegalMoveFilter, PinnedPiecesKeepOnlyMovesAlongThePin) {
    Position p;
    Load(p, "4k3/4r3/8/8/8/8/4R3/4K3 w - -");
    p.GenerateLegalMoves();
    EXPECT_EQ(MoveTextsFrom(p, 5, 7), (Texts{"Лe2-e3", "Лe2-e4", "Лe2-e5", "Лe2-e6", "Лe2-e7"}));

    Load(p, "7k/8/8/8/8/2b5/3B4/4K3 w - -");
    p.GenerateLegalMoves();
    EXPECT_EQ(MoveTextsFrom(p, 4, 7), (Texts{"Сd2-c3"}));

    Load(p, "7k/8/8/8/8/2b5/3N4/4K3 w - -");
    p.GenerateLegalMoves();
    EXPECT_EQ(MoveTextsFrom(p, 4, 7), Texts{});

    // A black queen pinned on the file by a white rook.
    Load(p, "4k3/4q3/8/8/8/8/8/K3R3 b - -");
    p.GenerateLegalMoves();
    EXPECT_EQ(MoveTextsFrom(p, 5, 2), (Texts{"Фe7-e6", "Фe7-e5", "Фe7-e4", "Фe7-e3", "Фe7-e2", "Фe7-e1"}));
}

TEST(LegalMoveFilter, ChecksMustBeCapturedOrBlocked) {
    Position p;
    // The rook on a1 checks: one knight takes it, the other blocks on c1.
    Load(p, "4k3/8/8/8/8/3N4/2N5/r3K2R w - -");
    p.GenerateLegalMoves();
    EXPECT_EQ(MoveTexts(p), (Texts{"Кc2-a1", "Кd3-c1", "Крe1-d2", "Крe1-e2", "Крe1-f2"}));
    // A double check leaves only king moves.
    Load(p, "4k3/8/8/8/8/3N1n2/2N5/r3K2R w - -");
    p.GenerateLegalMoves();
    EXPECT_EQ(MoveTexts(p), (Texts{"Крe1-e2", "Крe1-f2"}));
}

TEST(LegalMoveFilter, PromotionEntriesStayOrGoTogether) {
    Position p;
    Load(p, "7k/KP5r/8/8/8/8/8/8 w - -");  // the pawn is pinned on the row
    p.GenerateLegalMoves();
    EXPECT_EQ(MoveTextsFrom(p, 2, 2), Texts{});
    Load(p, "7k/KP6/8/8/8/8/8/7r w - -");
    p.GenerateLegalMoves();
    EXPECT_EQ(MoveTextsFrom(p, 2, 2), (Texts{"b7-b8К", "b7-b8С", "b7-b8Л", "b7-b8Ф"}));
}

TEST(LegalMoveFilter, KeepsOrderAndBoardAndReportsTheLastEntry) {
    Position p;
    Load(p, "r3k3/1P6/8/3Pp3/8/8/6p1/4K2R w - -");
    const BoardCellsArray before = p.Board;
    p.GenerateWhiteMoves();
    const Texts pseudo = MoveTexts(p);
    p.FilterLegalMoves();
    const Texts legal = MoveTexts(p);
    EXPECT_EQ(p.Board, before);
    ASSERT_LT(legal.size(), pseudo.size());
    // The survivors form a subsequence of the generated list.
    size_t next = 0;
    for (const std::string& text : pseudo) {
        if (next < legal.size() && legal[next] == text) ++next;
    }
    EXPECT_EQ(next, legal.size());

    // InCheck holds the verdict on the last entry tried, and the recorded
    // king square is where the king stood while that entry was played.
    Load(p, "7k/8/8/8/8/8/8/r3K3 w - -");
    p.GenerateWhiteMoves();  // the last entry is Ke1-f1, which the rook attacks
    p.FilterLegalMoves();
    EXPECT_EQ(p.InCheck, 1);
    EXPECT_EQ(p.WhiteKingFile, 6);
    EXPECT_EQ(p.WhiteKingRow, 8);
    Load(p, "7k/8/8/8/8/8/8/4K3 w - -");
    p.GenerateWhiteMoves();
    p.FilterLegalMoves();
    EXPECT_EQ(p.InCheck, 0);
    EXPECT_EQ(p.WhiteKingFile, 6);
}

TEST(LegalMoveFilter, EmptyListStaysEmptyAndLeavesInCheck) {
    Position p;
    Load(p, "7k/5Q2/6K1/8/8/8/8/8 b - -");  // stalemate
    p.GenerateBlackMoves();
    p.FilterLegalMoves();
    EXPECT_EQ(p.MoveCount, 0);
    p.InCheck = 1;
    p.FilterLegalMoves();
    EXPECT_EQ(p.MoveCount, 0);
    EXPECT_EQ(p.InCheck, 1);
}

}  // namespace
}  // namespace chess
