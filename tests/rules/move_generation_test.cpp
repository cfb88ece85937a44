#include <gtest/gtest.h>

#include "rules/move_text.h"
#include "rules/position.h"

namespace chess {
namespace {

TEST(MoveGeneration, TenEntryExampleFromTheRules) {
    Position p;
    p.Board[8][8] = King;    // h1
    p.Board[2][8] = Knight;  // b1
    p.Board[1][2] = Pawn;    // a7
    p.Board[8][1] = -King;   // h8
    p.GenerateWhiteMoves();
    ASSERT_EQ(p.MoveCount, 10);
    const char* expected[] = {"a7-a8К", "a7-a8С", "a7-a8Л", "a7-a8Ф", "Кb1-d2",
                              "Кb1-a3", "Кb1-c3", "Крh1-g2", "Крh1-g1", "Крh1-h2"};
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(MoveText(p.MoveList, i), expected[i - 1]) << i;
}

}  // namespace
}  // namespace chess
