// The facts a difficulty estimate is made of, counted by hand on small
// positions, for either side to move; and the estimate's form.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "problems/difficulty.h"
#include "rules/fen.h"

namespace problems {
namespace {

rules::Position Read(const std::string& fen) {
    rules::Position position;
    std::string error;
    EXPECT_TRUE(rules::ParseFen(fen, position, error)) << error;
    return position;
}

DifficultyFeatures Measured(const std::string& fen) {
    const std::optional<DifficultyFeatures> features = MeasureDifficulty(Read(fen));
    EXPECT_TRUE(features.has_value()) << fen;
    return features.value_or(DifficultyFeatures{});
}

// A back-rank mate: Ra1-a8#. The rook has 7 squares up the file and 5 along
// the rank, the king f1, f2, g2, h2, h1; only Ra8 checks. The black king
// could go to f8 and h8, its pawns hold f7, g7 and h7.
TEST(Difficulty, ABackRankMateIsCountedAsAPlayerCountsIt) {
    const DifficultyFeatures f = Measured("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    EXPECT_EQ(f.Moves, 1);
    EXPECT_EQ(f.LegalMoves, 17);
    EXPECT_EQ(f.Checks, 1);
    EXPECT_EQ(f.CheckingPieces, 1);
    EXPECT_EQ(f.Captures, 0);
    EXPECT_EQ(f.Keys, 1);
    EXPECT_EQ(f.Tries, 0);
    EXPECT_TRUE(f.KeyChecks);
    EXPECT_FALSE(f.KeyCaptures);
    EXPECT_FALSE(f.KeyDiscovers);
    EXPECT_EQ(f.KeyPiece, rules::Rook);
    EXPECT_EQ(f.KeyDistance, 7);
    EXPECT_FALSE(f.KeyBackwards);
    EXPECT_EQ(f.KeyToKing, 6);
    EXPECT_EQ(f.KeyFromKing, 7);
    EXPECT_EQ(f.Defences, 0);
    EXPECT_EQ(f.FlightsBefore, 2);
    EXPECT_EQ(f.FlightsTaken, 2);
    EXPECT_EQ(f.FlightsGiven, 0);
    EXPECT_EQ(f.KingHemmedIn, 3);
    EXPECT_TRUE(f.KingOnEdge);
    EXPECT_EQ(f.Pieces, 6);
    EXPECT_EQ(f.MaterialBalance, 2);
    EXPECT_EQ(f.MaterialOffered, 0);
}

// The same mate with the colours swapped and Black to move gives the same
// facts, and so the same estimate.
TEST(Difficulty, BlackToMoveIsMeasuredAsTheMirroredWhiteToMove) {
    const std::string white = "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1";
    const std::string black = "r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1";
    EXPECT_EQ(DifficultyInputs(Measured(black)), DifficultyInputs(Measured(white)));
    EXPECT_EQ(EstimateDifficulty(Read(black)), EstimateDifficulty(Read(white)));
    // A Black key toward rank 8 goes backwards: the smothered mate Nd1-f2.
    const DifficultyFeatures back = Measured("k7/8/8/8/8/8/6PP/3n2RK b - - 0 1");
    EXPECT_EQ(back.Moves, 1);
    EXPECT_EQ(back.KeyPiece, rules::Knight);
    EXPECT_TRUE(back.KeyBackwards);
    EXPECT_EQ(back.KingHemmedIn, 3);  // the white rook and pawns beside their king
}

// A quiet king's key: 1. Kf6-f7, and on the one defence Kh8-h7 2. Rg1-h1#,
// the threat too. Rg8+ and Rh1+ are the checks.
TEST(Difficulty, AQuietTwoMoverCountsItsDefencesAndThreats) {
    const DifficultyFeatures f = Measured("7k/8/5K2/8/8/8/8/6R1 w - - 0 1");
    EXPECT_EQ(f.Moves, 2);
    EXPECT_EQ(f.Keys, 1);
    EXPECT_EQ(f.KeyPiece, rules::King);
    EXPECT_FALSE(f.KeyChecks);
    EXPECT_FALSE(f.KeyCaptures);
    EXPECT_EQ(f.KeyDistance, 1);
    EXPECT_EQ(f.Checks, 2);
    EXPECT_EQ(f.Defences, 1);
    EXPECT_EQ(f.DistinctAnswers, 1);
    EXPECT_EQ(f.Threats, 1);
    EXPECT_EQ(f.FlightsBefore, 1);  // h7; the rook holds g8 and g7
    EXPECT_EQ(f.FlightsGiven, 0);
    EXPECT_EQ(f.FlightsTaken, 0);
    EXPECT_EQ(f.Pieces, 3);
    EXPECT_EQ(f.MaterialBalance, 5);
    EXPECT_GT(f.ProofMoves, 0);
    EXPECT_GT(f.SearchMoves, f.ProofMoves);
}

TEST(Difficulty, NoEstimateWithoutAMateInThreeOrWithTheOtherKingInCheck) {
    EXPECT_FALSE(MeasureDifficulty(Read("4k3/8/8/8/8/8/8/4K3 w - - 0 1")));
    EXPECT_FALSE(EstimateDifficulty(Read("4k3/8/8/8/8/8/4R3/4K3 w - - 0 1")));  // Black stands in check
    const std::optional<int> estimate = EstimateDifficulty(Read("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1"));
    ASSERT_TRUE(estimate);
    EXPECT_EQ(*estimate % 10, 0);
    EXPECT_GE(*estimate, 400);
    EXPECT_LE(*estimate, 3000);
}

}  // namespace
}  // namespace problems
