#include "tests/editor/editor_fixture.h"

#include <cstdlib>

#include <gdk/gdkx.h>

#include "window_events/toolkit.h"

namespace editor {

std::ostream& operator<<(std::ostream& out, const ClientPlace& place) {
    return out << "(" << place.Left << ", " << place.Top << ", " << place.Width << " x " << place.Height << ")";
}

void EditorWindowTest::SetUp() {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << support::NoDisplayReason;
    ASSERT_TRUE(window_events::StartToolkit(nullptr, nullptr)) << "cannot open the display";
    Driver.Connection = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    const int screen = DefaultScreen(Driver.Connection);
    ASSERT_GE(DisplayWidth(Driver.Connection, screen), 1024) << "run under xvfb-run -s \"-screen 0 1280x1024x24\"";
    ASSERT_GE(DisplayHeight(Driver.Connection, screen), 768) << "run under xvfb-run -s \"-screen 0 1280x1024x24\"";

    WorkDir = std::make_unique<support::ScratchWorkingDirectory>("editor-test");
}

void EditorWindowTest::TearDown() {
    if (IsSkipped()) return;
    Editor.End();
    Settle();
    WorkDir.reset();
}

void EditorWindowTest::StartWithFile(const std::string& bytes) {
    WriteFileBytes(WorkDir->Path / "set_figure.txt", bytes);
    Editor.Start();
    WaitUntilShown();
}

void EditorWindowTest::StartWithoutFile() {
    Editor.Start();
    WaitUntilShown();
}

void EditorWindowTest::WaitUntilShown() {
    ASSERT_NE(Editor.Window.Window, nullptr);
    ASSERT_TRUE(SettleUntil([&] { return Driver.IsOnScreen(WindowId()); })) << "the X server shows the window";
}

Window EditorWindowTest::WindowId() const { return GDK_WINDOW_XID(gtk_widget_get_window(Editor.Window.Window)); }

ClientPlace EditorWindowTest::PlaceOf(GtkWidget* control) const {
    int left = 0;
    int top = 0;
    gtk_widget_translate_coordinates(control, Editor.Window.Window, 0, 0, &left, &top);
    GtkAllocation area;
    gtk_widget_get_allocation(control, &area);
    return {left, top, area.width, area.height};
}

ScreenPoint EditorWindowTest::PointIn(GtkWidget* control, int dx, int dy) const {
    int windowX = 0;
    int windowY = 0;
    gdk_window_get_origin(gtk_widget_get_window(Editor.Window.Window), &windowX, &windowY);
    const ClientPlace place = PlaceOf(control);
    return {windowX + place.Left + dx, windowY + place.Top + dy};
}

ScreenPoint EditorWindowTest::CentreOf(GtkWidget* control) const {
    const ClientPlace place = PlaceOf(control);
    return PointIn(control, place.Width / 2, place.Height / 2);
}

void EditorWindowTest::ClickOn(GtkWidget* control) { Driver.Click(CentreOf(control)); }

editor::SpinBox& EditorWindowTest::Box(int number) {
    editor::SpinBox* box = Editor.Window.SpinBoxNumbered(number);
    EXPECT_NE(box, nullptr) << "no spin box " << number;
    return *box;
}

void EditorWindowTest::RunLoopUntilClosed() {
    Driver.SendCloseRequest(WindowId());
    EXPECT_EQ(Editor.RunEventLoop(), editor::LoopOutcome::Closed);
    Settle();
}

std::string EditorWindowTest::SettingsFile() const { return ReadFileBytes(WorkDir->Path / "set_figure.txt"); }

}  // namespace editor
