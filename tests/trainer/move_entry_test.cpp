// Answering a problem in the real window: by clicks on the board, by a row of
// the move table and "Сходить!", with a promotion's choice of piece, and the
// messages and the putting back that follow a wrong answer.
#include "tests/trainer/trainer_fixture.h"

#include <gdk/gdkx.h>

#include <algorithm>

#include "problems/judging.h"
#include "problems/problem_cycle.h"
#include "trainer/messages.h"
#include "trainer/window_layout.h"
#include "window_events/toolkit.h"

namespace trainer {
namespace {

using trainer::CommitButtonControl;

// Black Kh8, White Kg6 and Ra1: Ra1-a8 is the only mate.
constexpr const char* RookMate = "7k/8/6K1/8/8/8/8/R7 w - - 0 1";
// Black Kh8, White Kf7 and Qg1: Qg1-g6 stalemates.
constexpr const char* QueenStalemate = "7k/5K2/8/8/8/8/8/6Q1 w - - 0 1";
// Black Ka8, White Kb6 and a pawn on e7: promoting on e8 to a rook mates.
constexpr const char* PromotionMate = "k7/4P3/1K6/8/8/8/8/8 w - - 0 1";

constexpr int FileA = 1, FileE = 5, FileG = 7;
constexpr int Rank8 = 1, Rank7 = 2, Rank6 = 3, Rank2 = 7, Rank1 = 8;

bool IsMateMessage(const ScriptedDialogs::Message& message) {
    return message.Title == problems::MateMessageTitle && message.Text == problems::MateMessageText;
}

class MoveEntryTest : public TrainerWindowTest {
  protected:
    bool MateShown() const {
        for (const ScriptedDialogs::Message& message : Dialogs.Messages) {
            if (IsMateMessage(message)) return true;
        }
        return false;
    }
    rules::PieceCode At(int file, int row) const { return Program->Rules.At(file, row); }
    bool BoardIsProblem() const { return Program->Rules == Program->Search.ProblemBoard; }
    std::vector<std::string> ListedMoves() const {
        std::vector<std::string> moves;
        for (const auto& row : TableRows()) moves.push_back(row.second);
        return moves;
    }
};

TEST_F(MoveEntryTest, TwoClicksPlayTheMateAndPraiseIt) {
    ShowProblem(RookMate);
    std::vector<std::string> listedWhilePraised;
    rules::PieceCode onA8WhilePraised = 0;
    Dialogs.WhileMessageShown = [&](const ScriptedDialogs::Message&) {
        listedWhilePraised = ListedMoves();
        onA8WhilePraised = At(FileA, Rank8);
    };

    ClickSquare(FileA, Rank1);
    ASSERT_TRUE(RunPassesUntil([&] { return Program->Entry.SelectedFile == FileA; }));
    EXPECT_EQ(Program->Entry.SelectedRow, Rank1);
    EXPECT_EQ(At(FileA, Rank1), rules::Rook) << "a first click only selects";

    ClickSquare(FileA, Rank8);
    ASSERT_TRUE(RunPassesUntil([&] { return MateShown(); }));
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(onA8WhilePraised, rules::Rook) << "the mate stays on the board while praised";
    EXPECT_TRUE(listedWhilePraised.empty()) << "Black has no reply to list";
    EXPECT_EQ(At(FileA, Rank1), rules::NoPiece);
    EXPECT_EQ(Program->Judging.Outcome, problems::Verdict::Mate);
    // After a move by clicks its to-square stays selected and framed.
    EXPECT_EQ(Program->Entry.SelectedFile, FileA);
    EXPECT_EQ(Program->Entry.SelectedRow, Rank8);
    EXPECT_EQ(Program->Window.FramedSquare(), trainer::SquareControlNumber(FileA, Rank8));

    // The next pass makes the next problem with no further input, and no
    // square of the old problem stays selected in it.
    ASSERT_TRUE(Program->RunPass());
    EXPECT_EQ(Program->Judging.Outcome, problems::Verdict::Pending);
    EXPECT_EQ(Program->Entry.SelectedFile, 0);
    EXPECT_EQ(Program->Entry.SelectedRow, 0);
    EXPECT_GE(Program->Run.AttemptCount, 1);
    EXPECT_FALSE(TableRows().empty()) << "White's moves of the new problem are listed";
}

TEST_F(MoveEntryTest, ListRowAndCommitButtonPlayTheMate) {
    ShowProblem(RookMate);
    Input->Click(TableRowCentre("Лa1-a8"));
    ClickControl(CommitButtonControl);
    ASSERT_TRUE(RunPassesUntil([&] { return MateShown(); }));
    EXPECT_EQ(At(FileA, Rank8), rules::Rook);
    EXPECT_EQ(At(FileA, Rank1), rules::NoPiece);
    EXPECT_EQ(Program->Judging.Outcome, problems::Verdict::Mate);
    EXPECT_EQ(Program->Entry.SelectedFile, 0) << "a move from the table leaves no square selected";
}

TEST_F(MoveEntryTest, CommitWithoutSelectedRowPlaysNothing) {
    ShowProblem(RookMate);
    PlayClick(FileA, Rank1);
    ClickControl(CommitButtonControl);
    Settle();
    ASSERT_TRUE(RunPassesUntil([&] { return Program->Entry.SelectedFile == 0 && Program->Events.Empty(); }));
    EXPECT_TRUE(BoardIsProblem());
    EXPECT_TRUE(Dialogs.Messages.empty());
    EXPECT_FALSE(Program->Judging.MoveMade);
}

TEST_F(MoveEntryTest, WrongMoveIsReproachedThenTheProblemComesBack) {
    ShowProblem(RookMate);
    const std::vector<std::string> whiteMoves = ListedMoves();
    std::vector<std::string> listedWhileReproached;
    rules::PieceCode onA2WhileReproached = 0;
    Dialogs.WhileMessageShown = [&](const ScriptedDialogs::Message&) {
        listedWhileReproached = ListedMoves();
        onA2WhileReproached = At(FileA, Rank2);
    };

    PlayClick(FileA, Rank1);
    PlayClick(FileA, Rank2);
    ASSERT_TRUE(RunPassesUntil([&] { return !Dialogs.Messages.empty(); }));
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Title, "Неверно ");
    EXPECT_EQ(Dialogs.Messages[0].Text, "Возможные ходы в списке справа  -->");
    // While the box is up the wrong move stands and Black's replies are listed.
    EXPECT_EQ(onA2WhileReproached, rules::Rook);
    EXPECT_EQ(listedWhileReproached, (std::vector<std::string>{"Крh8-g8"}));
    // Once it is closed the problem is back with White's moves listed.
    EXPECT_TRUE(BoardIsProblem());
    EXPECT_EQ(ListedMoves(), whiteMoves);
    EXPECT_EQ(Program->Rules.SideToMove(), rules::White);
    EXPECT_FALSE(Program->Judging.MoveMade);
    EXPECT_EQ(Program->Judging.Outcome, problems::Verdict::Pending);
    EXPECT_EQ(Program->Window.FramedSquare(), 0) << "putting the problem back repaints the board";

    // Another try is possible: the mate from the list now.
    Input->Click(TableRowCentre("Лa1-a8"));
    ClickControl(CommitButtonControl);
    ASSERT_TRUE(RunPassesUntil([&] { return MateShown(); }));
}

TEST_F(MoveEntryTest, StalematingMoveIsReproachedAsStalemate) {
    ShowProblem(QueenStalemate);
    std::vector<std::string> listedWhileReproached{"not read"};
    Dialogs.WhileMessageShown = [&](const ScriptedDialogs::Message&) { listedWhileReproached = ListedMoves(); };

    PlayClick(FileG, Rank1);
    PlayClick(FileG, Rank6);
    ASSERT_TRUE(RunPassesUntil([&] { return !Dialogs.Messages.empty(); }));
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Title, "Неверно ");
    EXPECT_EQ(Dialogs.Messages[0].Text, "Королю пат !");
    EXPECT_TRUE(listedWhileReproached.empty());
    EXPECT_TRUE(BoardIsProblem());
    EXPECT_EQ(Program->Judging.Outcome, problems::Verdict::Pending);
    EXPECT_FALSE(Program->Judging.MoveMade);
}

TEST_F(MoveEntryTest, PromotionByClicksAsksForThePieceAndDropsOtherInput) {
    ShowProblem(PromotionMate);
    bool buttonsShownWithBox = false;
    Dialogs.WhileMessageShown = [&](const ScriptedDialogs::Message& message) {
        if (message.Title != trainer::PromotionTitle) return;
        buttonsShownWithBox = Program->Window.Control(trainer::RookButtonControl) != nullptr;
        Settle();
        // While the piece is chosen, a close request and a click on the
        // commit button are dropped; then the user presses "Ладья".
        Input->SendCloseRequest(GDK_WINDOW_XID(gtk_widget_get_window(Program->Window.Toplevel())));
        ClickControl(CommitButtonControl);
        ClickControl(trainer::RookButtonControl);
    };

    PlayClick(FileE, Rank7);
    PlayClick(FileE, Rank8);
    ASSERT_TRUE(RunPassesUntil([&] { return MateShown(); }));
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Title, "Превращение");
    EXPECT_EQ(Dialogs.Messages[0].Text, "Выбери фигуру внизу-слева");
    EXPECT_TRUE(buttonsShownWithBox);
    EXPECT_EQ(At(FileE, Rank8), rules::Rook);
    EXPECT_EQ(At(FileE, Rank7), rules::NoPiece);
    for (const trainer::PromotionChoice& choice : trainer::PromotionChoices) {
        EXPECT_EQ(Program->Window.Control(choice.Control), nullptr) << "button " << choice.Text << " removed";
    }
    // The dropped close request did not end the program.
    Dialogs.WhileMessageShown = nullptr;
    ASSERT_TRUE(Program->RunPass());
    EXPECT_FALSE(Ended);
}

// The font size a button's text is drawn in, in Pango units, and whether the
// text at that size fits the area the button gives its label: its whole
// width, and its letters' ink from top to bottom.
int ButtonFontSize(GtkWidget* button) {
    PangoFontDescription* font = window_events::WidgetFont(gtk_bin_get_child(GTK_BIN(button)));
    const int size = pango_font_description_get_size(font);
    pango_font_description_free(font);
    return size;
}
bool ButtonTextFits(GtkWidget* button, int fontSize) {
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(button));
    PangoLayout* layout = gtk_widget_create_pango_layout(label, gtk_label_get_text(GTK_LABEL(label)));
    PangoFontDescription* font = window_events::WidgetFont(label);
    pango_font_description_set_size(font, fontSize);
    pango_layout_set_font_description(layout, font);
    PangoRectangle ink;
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    pango_font_description_free(font);
    g_object_unref(layout);
    GtkAllocation area;
    gtk_widget_get_allocation(label, &area);
    return logical.width <= area.width && ink.height <= area.height;
}

TEST_F(MoveEntryTest, PromotionButtonsShowTheirTextsWholeInOneSize) {
    ShowProblem(PromotionMate);
    std::vector<int> sizes;
    std::vector<bool> fits, fitsLarger;
    Dialogs.WhileMessageShown = [&](const ScriptedDialogs::Message& message) {
        if (message.Title != trainer::PromotionTitle) return;
        Settle();
        for (const trainer::PromotionChoice& choice : trainer::PromotionChoices) {
            GtkWidget* button = Program->Window.Control(choice.Control);
            if (button == nullptr) continue;
            GtkAllocation area;
            gtk_widget_get_allocation(button, &area);
            EXPECT_EQ(area.width, 50) << choice.Text;
            EXPECT_EQ(area.height, 25) << choice.Text;
            sizes.push_back(ButtonFontSize(button));
            fits.push_back(ButtonTextFits(button, sizes.back()));
            fitsLarger.push_back(ButtonTextFits(button, sizes.back() + PANGO_SCALE / 2));
        }
        ClickControl(trainer::QueenButtonControl);
    };
    PlayClick(FileE, Rank7);
    PlayClick(FileE, Rank8);
    ASSERT_TRUE(RunPassesUntil(
        [&] { return !Dialogs.Messages.empty() && Program->Window.Control(trainer::QueenButtonControl) == nullptr; }));
    ASSERT_EQ(sizes.size(), 4u) << "the four buttons are there while the piece is chosen";
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const char* text = trainer::PromotionChoices[i].Text;
        EXPECT_EQ(sizes[i], sizes[0]) << text << " in another size than " << trainer::PromotionChoices[0].Text;
        EXPECT_TRUE(fits[i]) << text << " is cut off";
    }
    // One size larger, at least one of them would no longer fit: the size is
    // not smaller than it must be.
    EXPECT_NE(std::count(fitsLarger.begin(), fitsLarger.end(), false), 0);
}

TEST_F(MoveEntryTest, PromotionFromItsListRowAsksNothing) {
    ShowProblem(PromotionMate);
    Input->Click(TableRowCentre("e7-e8Л"));
    ClickControl(CommitButtonControl);
    ASSERT_TRUE(RunPassesUntil([&] { return MateShown(); }));
    ASSERT_EQ(Dialogs.Messages.size(), 1u) << "only the praise, no promotion box";
    EXPECT_EQ(At(FileE, Rank8), rules::Rook);
}

TEST_F(MoveEntryTest, PromotionToAnotherPieceIsJudgedByThePositionReached) {
    ShowProblem(PromotionMate);
    Input->Click(TableRowCentre("e7-e8К"));
    ClickControl(CommitButtonControl);
    ASSERT_TRUE(RunPassesUntil([&] { return !Dialogs.Messages.empty(); }));
    EXPECT_EQ(Dialogs.Messages[0].Title, "Неверно ");
    EXPECT_EQ(Dialogs.Messages[0].Text, "Возможные ходы в списке справа  -->");
    EXPECT_EQ(At(FileE, Rank7), rules::Pawn);
}

TEST_F(MoveEntryTest, ClicksThatFormNoListedMoveOnlyMoveTheSelection) {
    ShowProblem(RookMate);
    PlayClick(FileA, Rank1);
    PlayClick(FileG, Rank2);  // the rook cannot go there: g2 becomes the selection
    EXPECT_EQ(Program->Entry.SelectedFile, FileG);
    EXPECT_EQ(Program->Entry.SelectedRow, Rank2);
    EXPECT_TRUE(BoardIsProblem());
    EXPECT_FALSE(Program->Judging.MoveMade);
    EXPECT_EQ(Program->Window.FramedSquare(), trainer::SquareControlNumber(FileG, Rank2));

    // A right click does nothing on the board.
    PlayClick(FileA, Rank1, 3);
    EXPECT_EQ(Program->Entry.SelectedFile, FileG);
    EXPECT_EQ(Program->Window.FramedSquare(), trainer::SquareControlNumber(FileG, Rank2));

    // A click on the selected square keeps it selected.
    PlayClick(FileG, Rank2);
    EXPECT_EQ(Program->Entry.SelectedFile, FileG);
    EXPECT_EQ(Program->Entry.SelectedRow, Rank2);
}

}  // namespace
}  // namespace trainer
