#include <gtest/gtest.h>

#include "rules/position.h"
#include "tests/rules/test_support.h"

namespace rules {
namespace {

struct AttackCase {
    const char* fen;
    int expected;
};

int WhiteKingAttacked(const char* fen) { return Loaded(fen).IsWhiteKingAttacked() ? 1 : 0; }

int BlackKingAttacked(const char* fen) { return Loaded(fen).IsBlackKingAttacked() ? 1 : 0; }

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
    const Position touching = Loaded("8/8/8/3k4/4K3/8/8/8 w - -");
    EXPECT_TRUE(touching.IsWhiteKingAttacked());
    EXPECT_TRUE(touching.IsBlackKingAttacked());
    EXPECT_TRUE(touching.InCheck());

    // The filter strikes every king move next to the other king.
    EXPECT_EQ(MoveTexts(Loaded("8/8/8/3k4/8/4K3/8/8 w - -").LegalMoves()),
              (Texts{"Крe3-d3", "Крe3-d2", "Крe3-e2", "Крe3-f4", "Крe3-f3", "Крe3-f2"}));
}

// The position keeps each king's square itself: a king put elsewhere, taken
// off or put back is looked at where it stands now.
TEST(AttackTests, FollowTheKingWhereverItIsPut) {
    Position p = Loaded("7k/8/8/8/8/8/8/r6K w - -");  // the rook on a1 checks the king on h1
    EXPECT_TRUE(p.IsWhiteKingAttacked());
    p.Put(8, 8, NoPiece);
    EXPECT_FALSE(p.IsWhiteKingAttacked());  // no white king: nothing to attack
    p.Put(8, 7, King);                      // h2
    EXPECT_FALSE(p.IsWhiteKingAttacked());
    p.Put(8, 7, NoPiece);
    p.Put(4, 8, King);  // d1, on the rook's rank
    EXPECT_TRUE(p.IsWhiteKingAttacked());

    EXPECT_FALSE(p.IsBlackKingAttacked());
    p.Put(8, 7, Queen);  // h2: the queen looks up the h-file at the king on h8
    EXPECT_TRUE(p.IsBlackKingAttacked());
    p.Put(8, 1, NoPiece);
    EXPECT_FALSE(p.IsBlackKingAttacked());
    p.Put(7, 1, -King);  // g8: off the queen's lines
    EXPECT_FALSE(p.IsBlackKingAttacked());
}

TEST(AttackTests, NoKingOfTheColourIsNeverAttacked) {
    Position p;
    p.Put(4, 4, -King);  // black king d5, white queen beside it, no white king
    p.Put(5, 4, Queen);
    p.Put(1, 1, -Rook);
    EXPECT_FALSE(p.IsWhiteKingAttacked());
    EXPECT_TRUE(p.IsBlackKingAttacked());
    EXPECT_FALSE(Position{}.IsBlackKingAttacked());
}

TEST(LegalMoveFilter, KingInCheckMayNotStepAlongTheCheckingLine) {
    // d1 is attacked; f1 too, because the king's old square is empty during the test.
    EXPECT_EQ(MoveTexts(Loaded("7k/8/8/8/8/8/8/r3K3 w - -").LegalMoves()), (Texts{"Крe1-d2", "Крe1-e2", "Крe1-f2"}));
}

TEST(LegalMoveFilter, PinnedPiecesKeepOnlyMovesAlongThePin) {
    Position p;
    p = Loaded("4k3/4r3/8/8/8/8/4R3/4K3 w - -");
    EXPECT_EQ(MoveTextsFrom(p.LegalMoves(), 5, 7), (Texts{"Лe2-e3", "Лe2-e4", "Лe2-e5", "Лe2-e6", "Лe2-e7"}));

    p = Loaded("7k/8/8/8/8/2b5/3B4/4K3 w - -");
    EXPECT_EQ(MoveTextsFrom(p.LegalMoves(), 4, 7), (Texts{"Сd2-c3"}));

    p = Loaded("7k/8/8/8/8/2b5/3N4/4K3 w - -");
    EXPECT_EQ(MoveTextsFrom(p.LegalMoves(), 4, 7), Texts{});

    // A black queen pinned on the file by a white rook.
    p = Loaded("4k3/4q3/8/8/8/8/8/K3R3 b - -");
    EXPECT_EQ(MoveTextsFrom(p.LegalMoves(), 5, 2), (Texts{"Фe7-e6", "Фe7-e5", "Фe7-e4", "Фe7-e3", "Фe7-e2", "Фe7-e1"}));
}

TEST(LegalMoveFilter, ChecksMustBeCapturedOrBlocked) {
    Position p;
    // The rook on a1 checks: one knight takes it, the other blocks on c1.
    p = Loaded("4k3/8/8/8/8/3N4/2N5/r3K2R w - -");
    EXPECT_EQ(MoveTexts(p.LegalMoves()), (Texts{"Кc2-a1", "Кd3-c1", "Крe1-d2", "Крe1-e2", "Крe1-f2"}));
    // A double check leaves only king moves.
    p = Loaded("4k3/8/8/8/8/3N1n2/2N5/r3K2R w - -");
    EXPECT_EQ(MoveTexts(p.LegalMoves()), (Texts{"Крe1-e2", "Крe1-f2"}));
}

TEST(LegalMoveFilter, PromotionEntriesStayOrGoTogether) {
    Position p = Loaded("7k/KP5r/8/8/8/8/8/8 w - -");  // the pawn is pinned on the row
    EXPECT_EQ(MoveTextsFrom(p.LegalMoves(), 2, 2), Texts{});
    p = Loaded("7k/KP6/8/8/8/8/8/7r w - -");
    EXPECT_EQ(MoveTextsFrom(p.LegalMoves(), 2, 2), (Texts{"b7-b8К", "b7-b8С", "b7-b8Л", "b7-b8Ф"}));
}

TEST(LegalMoveFilter, KeepsTheGeneratorsOrder) {
    const Position p = Loaded("r3k3/1P6/8/3Pp3/8/8/6p1/4K2R w - -");
    const Texts pseudo = MoveTexts(p.GenerateWhiteMoves());
    const Texts legal = MoveTexts(p.LegalMoves());
    ASSERT_LT(legal.size(), pseudo.size());
    // The survivors form a subsequence of the generated list.
    size_t next = 0;
    for (const std::string& text : pseudo) {
        if (next < legal.size() && legal[next] == text) ++next;
    }
    EXPECT_EQ(next, legal.size());
}

TEST(LegalMoveFilter, MateAndStalemateAreTheSideToMovesWantOfMoves) {
    const Position stalemate = Loaded("7k/5Q2/6K1/8/8/8/8/8 b - -");
    EXPECT_EQ(stalemate.LegalMoves().Count(), 0);
    EXPECT_FALSE(stalemate.HasLegalMove());
    EXPECT_TRUE(stalemate.IsStalemate());
    EXPECT_FALSE(stalemate.IsMate());

    const Position mate = Loaded("7k/6Q1/6K1/8/8/8/8/8 b - -");
    EXPECT_FALSE(mate.HasLegalMove());
    EXPECT_TRUE(mate.IsMate());
    EXPECT_FALSE(mate.IsStalemate());

    // In check with a reply (the king takes the queen), and not in check with moves.
    const Position check = Loaded("7k/6Q1/8/8/8/8/8/K7 b - -");
    EXPECT_TRUE(check.InCheck());
    EXPECT_TRUE(check.HasLegalMove());
    EXPECT_FALSE(check.IsMate());
    EXPECT_FALSE(Loaded("7k/8/8/8/8/8/8/K7 b - -").IsStalemate());
}

}  // namespace
}  // namespace rules
