#include <gtest/gtest.h>

#include <memory>

#include "problems/trainer_rules.h"
#include "problems/mate_search.h"
#include "problems/position_builder.h"
#include "rules/fen.h"
#include "rules/move_text.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using testing::CountMatesDirectly;
using testing::SetUpPieces;

// One rules core and one mate search, as the trainer creates them.
struct MateSearchTest : ::testing::Test {
    std::unique_ptr<rules::Position> Rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    std::unique_ptr<MateSearch> Search = std::make_unique<MateSearch>(*Rules);

    void Test(std::string_view pieces) {
        SetUpPieces(*Rules, pieces);
        Search->MateInOneTest();
    }
    void LoadFen(const std::string& fen) {
        std::string error;
        ASSERT_TRUE(rules::ParseFen(fen, *Rules, error)) << error;
        Search->MateInOneTest();
    }
};

TEST_F(MateSearchTest, TwoMatesCountTwiceAndReportTheLaterPiece) {
    // Ra1-a8 and Qb1-b8 both mate; the queen's move comes later in scan order.
    Test("Kg6 Ra1 Qb1 kh8");
    EXPECT_EQ(Search->MateCount, 2);
    EXPECT_EQ(Search->MatePiece, rules::Queen);
    EXPECT_FALSE(Search->IsProblem(rules::Queen));
    EXPECT_EQ(CountMatesDirectly(*Rules).Mates, 2);
    EXPECT_EQ(rules::MoveText(Search->WhiteMoves[Search->MatingMoves[1]]), "Лa1-a8");
    EXPECT_EQ(rules::MoveText(Search->WhiteMoves[Search->MatingMoves[2]]), "Фb1-b8");
}

TEST_F(MateSearchTest, PromotionMatingAsQueenAndAsRookCountsTwice) {
    Test("Kg6 Pb7 kh8");
    EXPECT_EQ(Search->MateCount, 2);
    EXPECT_EQ(Search->MatePiece, rules::Queen);
}

TEST_F(MateSearchTest, KnightPromotionMateReportsTheKnight) {
    // f7-f8 as a knight is the only check that cannot be answered.
    Test("Ka1 Pf7 kh7 bg8 nh8 pg7 pg6 ph6");
    EXPECT_EQ(Search->MateCount, 1);
    EXPECT_EQ(Search->MatePiece, rules::Knight);
    EXPECT_TRUE(Search->IsProblem(rules::Knight));
    const auto facts = CountMatesDirectly(*Rules);
    EXPECT_EQ(facts.Mates, 1);
    EXPECT_EQ(facts.LastMatingPiece, rules::Knight);
}

TEST_F(MateSearchTest, StalemateIsNoMate) {
    // Bf2-g3 stalemates the king on a8; Rd1-d8 mates.
    Test("Kb6 Rd1 Bf2 ka8");
    EXPECT_EQ(Search->MateCount, 1);
    EXPECT_EQ(Search->MatePiece, rules::Rook);
}

TEST_F(MateSearchTest, WhiteWithoutALegalMove) {
    SetUpPieces(*Rules, "Ka1 qc2 kh8");
    const rules::Position before = *Rules;
    Search->MateInOneTest();
    EXPECT_EQ(Search->MateCount, 0);
    EXPECT_EQ(Search->WhiteMoves.Count(), 0);
    EXPECT_TRUE(*Rules == before);
}

TEST_F(MateSearchTest, LeavesThePositionAsItWasAndListsWhitesLegalMoves) {
    for (const char* pieces : {"Kg6 Ra1 Qb1 Pe2 Nc3 kh8 pd4 rh1", "Ka1 kh8", "Kg6 Pb7 kh8"}) {
        SetUpPieces(*Rules, pieces);
        const rules::Position before = *Rules;
        Search->MateInOneTest();
        EXPECT_TRUE(*Rules == before) << pieces;
        EXPECT_TRUE(Search->ProblemBoard == before) << pieces;
        EXPECT_EQ(rules::MoveText(Search->WhiteMoves[1]), rules::MoveText(before.LegalMoves()[1])) << pieces;
        ASSERT_EQ(Search->WhiteMoves.Count(), before.LegalMoves().Count()) << pieces;
        for (int entry = 1; entry <= Search->WhiteMoves.Count(); ++entry) {
            EXPECT_TRUE(Search->WhiteMoves[entry] == before.LegalMoves()[entry]) << pieces << " entry " << entry;
        }
    }
}

TEST_F(MateSearchTest, BareKingsHaveNoMate) {
    Test("Ka1 kh8");
    EXPECT_EQ(Rules->SideToMove(), rules::White);
    EXPECT_EQ(Search->MateCount, 0);
}

// The rule for en passant, which the rules core does not know: only a mate
// that is a double step Black can answer by taking en passant spoils a
// position; a double step that merely gives check does not, since Black may
// take en passant only right after it.
TEST_F(MateSearchTest, DoubleStepMateThatEnPassantAnswersIsNoProblem) {
    // The one mate is e2-e4, and d4xe3 en passant answers it.
    LoadFen("8/1B6/3Q4/5k2/3p3K/8/4P3/8 w - - 0 1");
    EXPECT_EQ(Search->MateCount, 1);
    EXPECT_EQ(Search->MatePiece, rules::Pawn);
    EXPECT_TRUE(Search->EnPassantAnswer);
    EXPECT_TRUE(Search->OneMateAnsweredEnPassant());
    EXPECT_FALSE(Search->IsProblem(rules::Pawn));
    const auto facts = CountMatesDirectly(*Rules);
    EXPECT_EQ(facts.Mates, 1);
    EXPECT_TRUE(facts.MateTakenEnPassant);
}

TEST_F(MateSearchTest, CheckingDoubleStepBesideAnotherMateChangesNothing) {
    // The one mate is Rd7-d5; d2-d4 gives check and e4 could take it en
    // passant, but it is no mate.
    LoadFen("7N/2pRK3/2B2p2/4k2p/1p2pp2/1p3p2/PPPPPPPP/Q7 w - - 0 1");
    EXPECT_EQ(Search->MateCount, 1);
    EXPECT_EQ(Search->MatePiece, rules::Rook);
    EXPECT_EQ(rules::MoveText(Search->WhiteMoves[Search->MatingMoves[1]]), "Лd7-d5");
    EXPECT_FALSE(Search->EnPassantAnswer);
    EXPECT_FALSE(Search->OneMateAnsweredEnPassant());
    EXPECT_TRUE(Search->IsProblem(rules::Rook));
    const auto facts = CountMatesDirectly(*Rules);
    EXPECT_TRUE(facts.CheckTakenEnPassant);
    EXPECT_FALSE(facts.MateTakenEnPassant);

    // e2-e4 gives check and d4 could take it: no mate at all.
    Test("Ka1 Pe2 kf5 pd4");
    EXPECT_EQ(Search->MateCount, 0);
    EXPECT_FALSE(Search->EnPassantAnswer);
}

TEST_F(MateSearchTest, DoubleStepMateThatCannotBeTakenEnPassantIsAProblem) {
    // The Black pawn on c4 stands beside no landing square.
    LoadFen("8/1B6/3Q4/5k2/2p4K/8/4P3/8 w - - 0 1");
    EXPECT_EQ(Search->MateCount, 1);
    EXPECT_EQ(rules::MoveText(Search->WhiteMoves[Search->MatingMoves[1]]), "e2-e4");
    EXPECT_FALSE(Search->EnPassantAnswer);
    EXPECT_TRUE(Search->IsProblem(rules::Pawn));

    // d4 stands beside e4, but taking en passant would open the d-file to the
    // rook on d1.
    LoadFen("8/2Q5/8/3k1B2/3p4/8/4P3/3R3K w - - 0 1");
    EXPECT_EQ(Search->MateCount, 1);
    EXPECT_EQ(rules::MoveText(Search->WhiteMoves[Search->MatingMoves[1]]), "e2-e4");
    EXPECT_FALSE(Search->EnPassantAnswer);
    EXPECT_TRUE(Search->IsProblem(rules::Pawn));
    EXPECT_FALSE(CountMatesDirectly(*Rules).MateTakenEnPassant);
}

// The search takes shortcuts (candidates that cannot give check are not
// played, Black's replies stop at the first legal one); on random positions,
// including those with a king attacked, it must agree with playing every move
// and listing every reply.
TEST_F(MateSearchTest, AgreesWithAFullSearchOnRandomPositions) {
    struct Sample {
        int Counts[10];
        int PawnRankLimit;
        int Attempts;
    };
    // A mixed board, and eight pawns a side with the White ones on rank 2,
    // where double steps and en passant answers abound.
    const Sample samples[] = {
        {{3, 1, 1, 1, 1, 3, 1, 1, 1, 1}, 7, 3000},
        {{8, 1, 1, 1, 1, 8, 0, 0, 0, 0}, 2, 3000},
    };
    int mates = 0;
    int checksTakenEnPassant = 0;
    for (const Sample& sample : samples) {
        const settings::TrainerSettings config = testing::MakeSettings(sample.Counts, 0, sample.PawnRankLimit, 0);
        PositionBuilder builder(*Rules, config, 2024);
        for (int attempt = 0; attempt < sample.Attempts; ++attempt) {
            builder.ClearBoard();
            static_cast<void>(builder.BuildRandomPosition());  // positions with a king attacked are tested too
            Search->MateInOneTest();
            const auto facts = CountMatesDirectly(*Rules);
            ASSERT_EQ(Search->MateCount, facts.Mates) << attempt;
            if (facts.Mates > 0) {
                EXPECT_EQ(Search->MatePiece, facts.LastMatingPiece);
            }
            EXPECT_EQ(Search->EnPassantAnswer, facts.MateTakenEnPassant) << attempt;
            mates += facts.Mates > 0;
            checksTakenEnPassant += facts.CheckTakenEnPassant && !facts.MateTakenEnPassant;
        }
    }
    EXPECT_GT(mates, 50);
    // Checking double steps that en passant answers, no mates: the old rule
    // threw these away. (Mates that en passant answers are rare on random
    // boards; the positions above show them.)
    EXPECT_GT(checksTakenEnPassant, 0);
}

TEST_F(MateSearchTest, ReduceTakesOffWhatTheMateDoesNotNeed) {
    SetUpPieces(*Rules, "Pa3 Qb8 kc2 qe4 Qe3 pg6 Kg3");
    Search->MateInOneTest();
    ASSERT_TRUE(Search->IsProblem(rules::Queen));
    Search->ReduceProblem(rules::Queen);
    rules::Position expected(problems::TrainerEnPassant);
    SetUpPieces(expected, "Qb8 kc2 Qe3 Kg3");
    EXPECT_TRUE(*Rules == expected);
    EXPECT_TRUE(Search->IsProblem(rules::Queen));
    const auto facts = CountMatesDirectly(*Rules);
    EXPECT_EQ(facts.Mates, 1);
    EXPECT_EQ(facts.LastMatingPiece, rules::Queen);
    // The final test describes the thinned position.
    EXPECT_EQ(Search->WhiteMoves.Count(), testing::LegalMoveCount(*Rules, rules::White));
    EXPECT_TRUE(Search->ProblemBoard == *Rules);
}

// Without the black rook on b4 the rook on b2 would attack the king on b5,
// though the queen's mate would stay unique: the rook stays.
TEST_F(MateSearchTest, ReduceNeverExposesTheBlackKing) {
    constexpr std::string_view Problem = "Ka7 kb5 rb4 Rb2 Qd6 qg5 Rh5 Bh1";
    SetUpPieces(*Rules, Problem);
    Rules->Put(2, 5, rules::NoPiece);  // b4
    Search->MateInOneTest();
    ASSERT_TRUE(testing::KingAttacked(*Rules, rules::Black));
    ASSERT_TRUE(Search->IsProblem(rules::Queen));

    SetUpPieces(*Rules, Problem);
    Search->MateInOneTest();
    ASSERT_TRUE(Search->IsProblem(rules::Queen));
    Search->ReduceProblem(rules::Queen);
    EXPECT_EQ(Rules->At(2, 5), -rules::Rook);
    EXPECT_FALSE(testing::KingAttacked(*Rules, rules::Black));
    EXPECT_EQ(testing::SquareOf(*Rules, rules::King), "a7");
    EXPECT_EQ(testing::SquareOf(*Rules, -rules::King), "b5");
    EXPECT_TRUE(Search->IsProblem(rules::Queen));
}

// Without the rook on d1, e2-e4 would stay the one mate, but d4xe3 en
// passant would answer it: the rook stays, though the board rules alone
// would let it go.
TEST_F(MateSearchTest, ReduceNeverLeavesAMateThatEnPassantAnswers) {
    LoadFen("8/2Q5/8/3k1B2/3p4/8/4P3/7K w - - 0 1");
    ASSERT_EQ(Search->MateCount, 1);
    ASSERT_EQ(Search->MatePiece, rules::Pawn);
    ASSERT_TRUE(Search->OneMateAnsweredEnPassant());

    LoadFen("8/2Q5/8/3k1B2/3p4/8/4P3/3R3K w - - 0 1");
    ASSERT_TRUE(Search->IsProblem(rules::Pawn));
    Search->ReduceProblem(rules::Pawn);
    EXPECT_EQ(testing::SquareOf(*Rules, rules::Rook), "d1");
    EXPECT_TRUE(Search->IsProblem(rules::Pawn));
    const auto facts = CountMatesDirectly(*Rules);
    EXPECT_EQ(facts.Mates, 1);
    EXPECT_FALSE(facts.MateTakenEnPassant);
}

}  // namespace
}  // namespace problems
