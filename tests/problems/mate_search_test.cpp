#include <gtest/gtest.h>

#include <memory>

#include "problems/mate_test.h"
#include "problems/position_builder.h"
#include "rules/move_text.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using testing::CountMatesDirectly;
using testing::SetUpPieces;

// One rules core and one mate search, as the trainer creates them.
struct MateSearchTest : ::testing::Test {
    std::unique_ptr<chess::Position> Rules = std::make_unique<chess::Position>();
    std::unique_ptr<MateSearch> Search = std::make_unique<MateSearch>(*Rules);

    void Test(std::string_view pieces) {
        SetUpPieces(*Rules, pieces);
        Search->MateInOneTest();
    }
};

TEST_F(MateSearchTest, TwoMatesCountTwiceAndReportTheLaterPiece) {
    // Ra1-a8 and Qb1-b8 both mate; the queen's move comes later in scan order.
    Test("Kg6 Ra1 Qb1 kh8");
    EXPECT_EQ(Search->MateCount, 2);
    EXPECT_EQ(Search->MatePiece, chess::Queen);
    EXPECT_FALSE(Search->IsProblem(chess::Queen));
    EXPECT_EQ(CountMatesDirectly(*Rules).Mates, 2);
    EXPECT_EQ(chess::MoveText(Rules->MoveList, Search->MatingMoves[1]), "Лa1-a8");
    EXPECT_EQ(chess::MoveText(Rules->MoveList, Search->MatingMoves[2]), "Фb1-b8");
}

TEST_F(MateSearchTest, PromotionMatingAsQueenAndAsRookCountsTwice) {
    Test("Kg6 Pb7 kh8");
    EXPECT_EQ(Search->MateCount, 2);
    EXPECT_EQ(Search->MatePiece, chess::Queen);
}

TEST_F(MateSearchTest, KnightPromotionMateReportsTheKnight) {
    // f7-f8 as a knight is the only check that cannot be answered.
    Test("Ka1 Pf7 kh7 bg8 nh8 pg7 pg6 ph6");
    EXPECT_EQ(Search->MateCount, 1);
    EXPECT_EQ(Search->MatePiece, chess::Knight);
    EXPECT_TRUE(Search->IsProblem(chess::Knight));
    const auto facts = CountMatesDirectly(*Rules);
    EXPECT_EQ(facts.Mates, 1);
    EXPECT_EQ(facts.LastMatingPiece, chess::Knight);
}

TEST_F(MateSearchTest, StalemateIsNoMate) {
    // Bf2-g3 stalemates the king on a8; Rd1-d8 mates.
    Test("Kb6 Rd1 Bf2 ka8");
    EXPECT_EQ(Search->MateCount, 1);
    EXPECT_EQ(Search->MatePiece, chess::Rook);
}

TEST_F(MateSearchTest, WhiteWithoutALegalMove) {
    SetUpPieces(*Rules, "Ka1 qc2 kh8");
    const chess::BoardCellsArray before = Rules->Board;
    Search->MateInOneTest();
    EXPECT_EQ(Search->MateCount, 0);
    EXPECT_EQ(Rules->MoveCount, 0);
    EXPECT_EQ(Rules->Board, before);
}

TEST_F(MateSearchTest, LeavesBoardAndWhitesLegalMovesAsBefore) {
    SetUpPieces(*Rules, "Kg6 Ra1 Qb1 Pe2 Nc3 kh8 pd4 rh1");
    const chess::BoardCellsArray before = Rules->Board;
    auto expected = std::make_unique<chess::Position>(*Rules);
    expected->SideToMove = chess::White;
    expected->GenerateLegalMoves();

    Search->MateInOneTest();
    EXPECT_EQ(Rules->Board, before);
    ASSERT_EQ(Rules->MoveCount, expected->MoveCount);
    for (int entry = 1; entry <= expected->MoveCount; ++entry) {
        EXPECT_EQ(chess::MoveText(Rules->MoveList, entry), chess::MoveText(expected->MoveList, entry));
        EXPECT_EQ(Rules->MoveList.PlacedPiece[entry], expected->MoveList.PlacedPiece[entry]);
    }
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) EXPECT_EQ(Search->ProblemBoard[file][row], before[file][row]);
    }
    // A checking candidate was examined, so Black was last to move.
    EXPECT_EQ(Rules->SideToMove, chess::Black);
}

TEST_F(MateSearchTest, NoCheckingMoveLeavesWhiteToMove) {
    Test("Ka1 kh8");
    EXPECT_EQ(Rules->SideToMove, chess::White);
    EXPECT_EQ(Search->MateCount, 0);
}

// e2-e4 mates by the rules of the board, but the pawn on d4 may take it en
// passant; so may it when e2-e4 only gives check.
TEST_F(MateSearchTest, CheckingDoubleStepThatCanBeTakenEnPassantSpoilsTheProblem) {
    Test("Ka1 Qh4 Pe2 kf5 pd4 pe5 pe6 pg6");
    EXPECT_EQ(Search->EnPassantAnswer, 1);
    EXPECT_FALSE(Search->IsProblem(Search->MatePiece));
    const auto facts = CountMatesDirectly(*Rules);
    EXPECT_EQ(Search->MateCount, facts.Mates);
    EXPECT_TRUE(facts.CheckTakenEnPassant);

    Test("Ka1 Pe2 kf5 pd4");
    EXPECT_EQ(Search->EnPassantAnswer, 1);
}

TEST_F(MateSearchTest, EnPassantThatLeavesTheKingAttackedDoesNotCount) {
    // Taking f4xe3 would open the f-file to the rook on f1.
    Test("Ka1 Rf1 Pe2 kf5 pf4");
    EXPECT_EQ(Search->EnPassantAnswer, 0);
    // A double step that gives no check, and a pawn that takes nothing.
    Test("Ka1 Pd2 kf5 pe4");
    EXPECT_EQ(Search->EnPassantAnswer, 0);
}

// The search takes shortcuts (candidates that cannot give check are not
// played, Black's replies stop at the first legal one); on random positions,
// including those with a king attacked, it must agree with playing every move
// and listing every reply.
TEST_F(MateSearchTest, AgreesWithAFullSearchOnRandomPositions) {
    const int counts[10] = {3, 1, 1, 1, 1, 3, 1, 1, 1, 1};
    const settings::TrainerSettings config = testing::MakeSettings(counts, 0, 7, 0);
    PositionBuilder builder(*Rules, config, 2024);
    int mates = 0;
    int spoiled = 0;
    for (int attempt = 0; attempt < 3000; ++attempt) {
        builder.ClearBoard();
        builder.BuildRandomPosition();
        Search->MateInOneTest();
        const auto facts = CountMatesDirectly(*Rules);
        ASSERT_EQ(Search->MateCount, facts.Mates) << attempt;
        if (facts.Mates > 0) {
            EXPECT_EQ(Search->MatePiece, facts.LastMatingPiece);
        }
        EXPECT_EQ(Search->EnPassantAnswer == 1, facts.CheckTakenEnPassant);
        mates += facts.Mates > 0;
        spoiled += facts.CheckTakenEnPassant;
    }
    EXPECT_GT(mates, 50);
    EXPECT_GT(spoiled, 0);
}

TEST_F(MateSearchTest, ReduceTakesOffWhatTheMateDoesNotNeed) {
    SetUpPieces(*Rules, "Pa3 Qb8 kc2 qe4 Qe3 pg6 Kg3");
    Search->MateInOneTest();
    ASSERT_TRUE(Search->IsProblem(chess::Queen));
    Search->ReduceProblem(chess::Queen);
    auto expected = std::make_unique<chess::Position>();
    SetUpPieces(*expected, "Qb8 kc2 Qe3 Kg3");
    EXPECT_EQ(Rules->Board, expected->Board);
    EXPECT_TRUE(Search->IsProblem(chess::Queen));
    const auto facts = CountMatesDirectly(*Rules);
    EXPECT_EQ(facts.Mates, 1);
    EXPECT_EQ(facts.LastMatingPiece, chess::Queen);
    // The final test describes the thinned position.
    EXPECT_EQ(Rules->MoveCount, testing::LegalMoveCount(*Rules, chess::White));
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) EXPECT_EQ(Search->ProblemBoard[file][row], Rules->Board[file][row]);
    }
}

// Without the black rook on b4 the rook on b2 would attack the king on b5,
// though the queen's mate would stay unique: the rook stays.
TEST_F(MateSearchTest, ReduceNeverExposesTheBlackKing) {
    constexpr std::string_view Problem = "Ka7 kb5 rb4 Rb2 Qd6 qg5 Rh5 Bh1";
    SetUpPieces(*Rules, Problem);
    Rules->Board[2][5] = chess::NoPiece;  // b4
    Search->MateInOneTest();
    ASSERT_TRUE(testing::KingAttacked(*Rules, chess::Black));
    ASSERT_TRUE(Search->IsProblem(chess::Queen));

    SetUpPieces(*Rules, Problem);
    Search->MateInOneTest();
    ASSERT_TRUE(Search->IsProblem(chess::Queen));
    Search->ReduceProblem(chess::Queen);
    EXPECT_EQ(Rules->Board[2][5], -chess::Rook);
    EXPECT_FALSE(testing::KingAttacked(*Rules, chess::Black));
    EXPECT_EQ(testing::SquareOf(*Rules, chess::King), "a7");
    EXPECT_EQ(testing::SquareOf(*Rules, -chess::King), "b5");
    EXPECT_TRUE(Search->IsProblem(chess::Queen));
}

// Taking off the bishop on b3 alone would keep the queen's unique mate, but
// would free b2-b4, a check that c4 could take en passant: the bishop stays.
TEST_F(MateSearchTest, ReduceNeverCreatesAnEnPassantAnswer) {
    constexpr std::string_view Problem = "Bb3 Pb2 Kc7 kc5 pc4 Qd3 Be6 ng3 Rh6";
    SetUpPieces(*Rules, Problem);
    Rules->Board[2][6] = chess::NoPiece;  // b3
    Search->MateInOneTest();
    ASSERT_EQ(Search->MateCount, 1);
    ASSERT_EQ(Search->MatePiece, chess::Queen);
    ASSERT_EQ(Search->EnPassantAnswer, 1);

    SetUpPieces(*Rules, Problem);
    Search->MateInOneTest();
    ASSERT_TRUE(Search->IsProblem(chess::Queen));
    Search->ReduceProblem(chess::Queen);
    EXPECT_EQ(Rules->Board[2][6], chess::Bishop);
    EXPECT_TRUE(Search->IsProblem(chess::Queen));
    EXPECT_FALSE(CountMatesDirectly(*Rules).CheckTakenEnPassant);
}

}  // namespace
}  // namespace problems
