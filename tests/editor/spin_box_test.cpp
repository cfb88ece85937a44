// The spin boxes driven with real clicks, wheel turns and key presses: one
// step per click released over an enabled arrow, disabled arrows at the
// limits, values from the file brought into range, typed text replaced at
// once by the value.
#include <string>
#include <vector>

#include <X11/keysym.h>

#include "tests/editor/editor_fixture.h"

namespace editor {
namespace {

constexpr support::Milliseconds HeldLongerThanAnyRepeatDelay{1200};

struct BoxRange {
    int Number;
    int Lowest;
    int Highest;
};
const std::vector<BoxRange> Ranges = {
    {10, 0, 8},  {11, 0, 10}, {12, 0, 10}, {13, 0, 10},  {14, 0, 10}, {15, 0, 8}, {16, 0, 10},
    {17, 0, 10}, {18, 0, 10}, {19, 0, 10}, {20, 40, 70}, {21, 0, 3},  {22, 2, 7},
};

std::string FileWithNumbers(const std::vector<std::string>& numbers, const std::string& name = "") {
    std::string bytes;
    for (const std::string& number : numbers) {
        bytes += number + "\n";
    }
    return bytes + name + "\n";
}

std::string FileWithEveryNumber(const std::string& number) {
    return FileWithNumbers(std::vector<std::string>(13, number));
}

class SpinBoxTest : public EditorWindowTest {
  protected:
    void ExpectShows(int number, int value) {
        editor::SpinBox& box = Box(number);
        EXPECT_EQ(box.Value, value) << "spin box " << number;
        EXPECT_EQ(box.FieldText(), std::to_string(value)) << "spin box " << number;
        EXPECT_EQ(gtk_widget_is_sensitive(box.UpArrow), value < box.Highest) << "up arrow of " << number;
        EXPECT_EQ(gtk_widget_is_sensitive(box.DownArrow), value > box.Lowest) << "down arrow of " << number;
    }

    void ClickUp(int number) { ClickOn(Box(number).UpArrow); }
    void ClickDown(int number) { ClickOn(Box(number).DownArrow); }
};

TEST_F(SpinBoxTest, MissingFileShowsTheLowestValues) {
    StartWithoutFile();
    for (const BoxRange& range : Ranges) {
        ExpectShows(range.Number, range.Lowest);
    }
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(Editor.Window.PieceList)), -1);
}

TEST_F(SpinBoxTest, ValuesBelowTheRangeShowTheLowest) {
    StartWithFile(FileWithEveryNumber("-5"));
    for (const BoxRange& range : Ranges) {
        ExpectShows(range.Number, range.Lowest);
    }
}

TEST_F(SpinBoxTest, ValuesAboveTheRangeShowTheHighest) {
    StartWithFile(FileWithEveryNumber("99"));
    for (const BoxRange& range : Ranges) {
        ExpectShows(range.Number, range.Highest);
    }
}

TEST_F(SpinBoxTest, EightWhitePawnsDisableTheUpArrowUntilADownClick) {
    StartWithFile(FileWithNumbers({"8", "0", "0", "0", "0", "0", "0", "0", "0", "0", "50", "1", "4"}));
    ExpectShows(10, 8);

    ClickUp(10);  // disabled: nothing happens
    RunLoopUntilClosed();
    ExpectShows(10, 8);

    ClickDown(10);
    RunLoopUntilClosed();
    ExpectShows(10, 7);

    ClickUp(10);
    RunLoopUntilClosed();
    ExpectShows(10, 8);
}

TEST_F(SpinBoxTest, ClicksStepOneAtATimeAndStopAtTheLimits) {
    StartWithoutFile();
    for (int click = 0; click < 5; ++click) {
        ClickUp(21);
    }
    RunLoopUntilClosed();
    ExpectShows(21, 3);

    for (int click = 0; click < 2; ++click) {
        ClickDown(21);
    }
    ClickUp(20);
    RunLoopUntilClosed();
    ExpectShows(21, 1);
    ExpectShows(20, 41);
    ExpectShows(22, 2);  // untouched boxes keep their values
}

TEST_F(SpinBoxTest, ValueChangesWhenTheButtonIsReleasedAndNotWhileHeld) {
    StartWithoutFile();
    editor::SpinBox& box = Box(11);
    Driver.MoveTo(CentreOf(box.UpArrow));
    Driver.PressButton(support::LeftButton);
    support::RunLoopFor(HeldLongerThanAnyRepeatDelay);
    EXPECT_EQ(box.Value, 0);
    Driver.ReleaseButton(support::LeftButton);
    Settle();
    EXPECT_EQ(box.Value, 1);

    // Pressed on the arrow but released elsewhere: no change.
    Driver.MoveTo(CentreOf(box.UpArrow));
    Driver.PressButton(support::LeftButton);
    Driver.MoveTo(CentreOf(Editor.Window.Labels[0]));
    Driver.ReleaseButton(support::LeftButton);
    RunLoopUntilClosed();
    ExpectShows(11, 1);
}

TEST_F(SpinBoxTest, WheelAndArrowKeysChangeNothing) {
    StartWithFile(FileWithNumbers({"0", "5", "0", "0", "0", "0", "0", "0", "0", "0", "50", "1", "4"}));
    editor::SpinBox& box = Box(11);
    for (GtkWidget* part : {box.Field, box.UpArrow, box.DownArrow}) {
        Driver.Scroll(CentreOf(part), true);
        Driver.Scroll(CentreOf(part), false);
        Driver.Scroll(CentreOf(part), true);
    }
    ClickOn(box.Field);
    Settle();
    ASSERT_TRUE(gtk_widget_has_focus(box.Field)) << "the keys must reach the field";
    for (KeySym key : {XK_Up, XK_Page_Up, XK_KP_Up, XK_Down, XK_Page_Down, XK_KP_Down}) {
        Driver.TypeKey(key);
    }
    RunLoopUntilClosed();
    ExpectShows(11, 5);
    ExpectShows(10, 0);
}

TEST_F(SpinBoxTest, TypedTextIsReplacedAtOnceByTheValue) {
    StartWithFile(FileWithNumbers({"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "50", "1", "4"}));
    editor::SpinBox& box = Box(21);
    ClickOn(box.Field);
    Settle();
    ASSERT_TRUE(gtk_widget_has_focus(box.Field));
    Driver.TypeKey(XK_5);
    Settle();
    ASSERT_NE(box.FieldText().find('5'), std::string::npos) << "the typed key reached the field";

    RunLoopUntilClosed();
    ExpectShows(21, 1);

    // Emptying the field brings the value back as well.
    Driver.TypeKey(XK_BackSpace);
    Driver.TypeKey(XK_Delete);
    RunLoopUntilClosed();
    ExpectShows(21, 1);
}

}  // namespace
}  // namespace editor
