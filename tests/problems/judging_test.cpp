#include <gtest/gtest.h>

#include "problems/judging.h"
#include "problems/problem_cycle.h"
#include "rules/move_text.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using testing::Generator;
using testing::SetUpPieces;

// The generator's parts with the judging and the problem cycle on top, as
// the trainer's main loop uses them.
struct JudgingTest : ::testing::Test {
    const int Counts[10] = {2, 1, 1, 0, 1, 3, 0, 1, 1, 0};
    Generator Parts{testing::MakeSettings(Counts, 1, 4, 0), 2027};
    rules::Position& Rules = *Parts.Rules;
    HeadlessView& View = Parts.View;
    Judge Judging{Rules, Parts.Search, View};
    ProblemCycle Cycle{Rules, Parts.Run, Judging, View};

    // Shows a fixed position as the problem, as a generation run leaves it.
    void ShowProblem(std::string_view pieces) {
        SetUpPieces(Rules, pieces);
        Parts.Search.MateInOneTest();
        Judging.Outcome = Verdict::Pending;
        Judging.MoveMade = false;
        Rules.SetSideToMove(rules::White);
        Judging.JudgeMove();
    }

    // The entry of the listed moves with this text ("Лd1-d8").
    int Entry(std::string_view text) const {
        for (int entry = 1; entry <= Judging.Moves.Count(); ++entry) {
            if (rules::MoveText(Judging.Moves[entry]) == text) return entry;
        }
        ADD_FAILURE() << "no move " << text;
        return 0;
    }

    // Commits a listed move as the list's commit does: played on the board,
    // Black to move, then judged.
    void Commit(int entry) {
        [[maybe_unused]] const rules::Undo undo = Rules.Play(Judging.Moves[entry]);
        Judging.MoveMade = true;
        View.DrawBoard();
        Judging.JudgeMove();
    }

    void ExpectProblemBackWithWhitesMoves() {
        EXPECT_TRUE(Rules == Parts.Search.ProblemBoard);
        EXPECT_EQ(Rules.SideToMove(), rules::White);
        EXPECT_FALSE(Judging.MoveMade);
        EXPECT_EQ(Judging.Moves.Count(), testing::LegalMoveCount(Rules, rules::White));
        EXPECT_EQ(View.ListedMoves, Judging.Moves.Count());
    }
};

TEST_F(JudgingTest, ListingWhitesMovesNeverChangesTheVerdict) {
    ShowProblem("Kb6 Rd1 Bf2 ka8");
    EXPECT_EQ(Judging.Outcome, Verdict::Pending);
    EXPECT_EQ(Judging.Moves.Count(), testing::LegalMoveCount(Rules, rules::White));
    EXPECT_EQ(View.FillMoveTableCalls, 1);

    // White without a legal move is not judged either.
    SetUpPieces(Rules, "Ka1 qc2 kh8");
    for (const Verdict verdict : {Verdict::Pending, Verdict::Mate, Verdict::Stalemate}) {
        Judging.Outcome = verdict;
        Rules.SetSideToMove(rules::White);
        Judging.JudgeMove();
        EXPECT_EQ(Judging.Moves.Count(), 0);
        EXPECT_EQ(Judging.Outcome, verdict);
    }
    EXPECT_TRUE(View.Messages.empty());
}

TEST_F(JudgingTest, MateIsPraisedThenVerdictMat) {
    ShowProblem("Ka1 Pf7 kh7 bg8 nh8 pg7 pg6 ph6");
    Commit(Entry("f7-f8К"));
    EXPECT_EQ(Judging.Outcome, Verdict::Mate);
    EXPECT_EQ(Judging.Moves.Count(), 0);
    ASSERT_EQ(View.Messages.size(), 1u);
    EXPECT_EQ(View.Messages[0].Title, "");
    EXPECT_EQ(View.Messages[0].Text, "Правильно!");
}

// The position reached is judged, not the square the pawn went to.
TEST_F(JudgingTest, PromotingToTheWrongPieceIsAWrongMove) {
    ShowProblem("Ka1 Pf7 kh7 bg8 nh8 pg7 pg6 ph6");
    Commit(Entry("f7-f8Ф"));
    EXPECT_EQ(Judging.Outcome, Verdict::Pending);
    EXPECT_GT(Judging.Moves.Count(), 0);
    EXPECT_EQ(Judging.Moves.Count(), testing::LegalMoveCount(Rules, rules::Black));  // Black's replies are listed
    EXPECT_TRUE(View.Messages.empty());

    Cycle.AfterEventWait();
    ASSERT_EQ(View.Messages.size(), 1u);
    EXPECT_EQ(View.Messages[0].Title, "Неверно ");
    EXPECT_EQ(View.Messages[0].Text, "Возможные ходы в списке справа  -->");
    ExpectProblemBackWithWhitesMoves();
    EXPECT_EQ(Judging.Outcome, Verdict::Pending);
}

TEST_F(JudgingTest, StalemateIsAWrongMoveWithItsOwnMessage) {
    ShowProblem("Kb6 Rd1 Bf2 ka8");
    Commit(Entry("Сf2-g3"));
    EXPECT_EQ(Judging.Outcome, Verdict::Stalemate);
    EXPECT_EQ(Judging.Moves.Count(), 0);
    EXPECT_TRUE(View.Messages.empty());

    const int drawn = View.DrawBoardCalls;
    Cycle.AfterEventWait();
    ASSERT_EQ(View.Messages.size(), 1u);
    EXPECT_EQ(View.Messages[0].Title, "Неверно ");
    EXPECT_EQ(View.Messages[0].Text, "Королю пат !");
    EXPECT_EQ(Judging.Outcome, Verdict::Pending);
    EXPECT_EQ(View.DrawBoardCalls, drawn + 1);
    ExpectProblemBackWithWhitesMoves();
}

TEST_F(JudgingTest, NothingHappensAfterTheWaitWithoutAMove) {
    ShowProblem("Kb6 Rd1 Bf2 ka8");
    const int listed = View.FillMoveTableCalls;
    Cycle.AfterEventWait();
    EXPECT_TRUE(View.Messages.empty());
    EXPECT_EQ(View.FillMoveTableCalls, listed);
    EXPECT_TRUE(Cycle.BeginPass());  // no verdict: no new problem
    EXPECT_EQ(View.AttemptCountUpdates, 0);
}

// The whole cycle on generated problems: a wrong move puts the problem back,
// the mate brings the next problem.
TEST_F(JudgingTest, CycleOverGeneratedProblems) {
    for (int problem = 0; problem < 3; ++problem) {
        EXPECT_EQ(Judging.Outcome, Verdict::Mate);
        ASSERT_TRUE(Cycle.BeginPass());
        EXPECT_EQ(Judging.Outcome, Verdict::Pending);
        EXPECT_FALSE(Judging.MoveMade);
        EXPECT_EQ(Rules.SideToMove(), rules::White);
        EXPECT_EQ(Judging.Moves.Count(), testing::LegalMoveCount(Rules, rules::White));

        // Sort White's moves by what they do, judged on a copy.
        int mate = 0;
        int wrong = 0;
        for (int entry = 1; entry <= Judging.Moves.Count(); ++entry) {
            rules::Position after = Rules;
            [[maybe_unused]] const rules::Undo undo = after.Play(Judging.Moves[entry]);
            const bool mates =
                testing::KingAttacked(after, rules::Black) && testing::LegalMoveCount(after, rules::Black) == 0;
            if (mates) {
                EXPECT_EQ(mate, 0) << "a second mate";
                mate = entry;
            } else if (wrong == 0) {
                wrong = entry;
            }
        }
        ASSERT_NE(mate, 0);
        const std::string mateText = rules::MoveText(Judging.Moves[mate]);

        View.Messages.clear();
        if (wrong != 0) {
            Commit(wrong);
            EXPECT_NE(Judging.Outcome, Verdict::Mate);
            Cycle.AfterEventWait();
            ASSERT_EQ(View.Messages.size(), 1u);
            EXPECT_EQ(View.Messages[0].Title, "Неверно ");
            EXPECT_EQ(Judging.Outcome, Verdict::Pending);
            ExpectProblemBackWithWhitesMoves();
            View.Messages.clear();
        }

        Commit(Entry(mateText));
        EXPECT_EQ(Judging.Outcome, Verdict::Mate);
        ASSERT_EQ(View.Messages.size(), 1u);
        EXPECT_EQ(View.Messages[0].Text, "Правильно!");
        Cycle.AfterEventWait();  // a mate is no wrong move
        EXPECT_EQ(View.Messages.size(), 1u);
    }
}

TEST_F(JudgingTest, BeginPassReportsAGivenUpRun) {
    const int none[10] = {};
    Generator kingsOnly(testing::MakeSettings(none, 0, 2, 0), 4);
    kingsOnly.Run.Limit = 200;
    Judge judging(*kingsOnly.Rules, kingsOnly.Search, kingsOnly.View);
    ProblemCycle cycle(*kingsOnly.Rules, kingsOnly.Run, judging, kingsOnly.View);
    EXPECT_FALSE(cycle.BeginPass());
    EXPECT_EQ(kingsOnly.View.GiveUpCalls, 1);
    EXPECT_EQ(kingsOnly.View.FillMoveTableCalls, 0);
}

}  // namespace
}  // namespace problems
