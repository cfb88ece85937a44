#include "tests/support/program_process_test.h"

#include <cstdlib>

#include "tests/support/processes.h"
#include "tests/support/waiting.h"

namespace window_test {

void ProgramProcessTest::SetUp() {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "window tests run under an X server (xvfb-run -a)";
    ASSERT_TRUE(AdoptOrphanedDescendants());
    Connection = XOpenDisplay(nullptr);
    ASSERT_NE(Connection, nullptr) << "cannot open the display";
    Driver = std::make_unique<XDriver>(Connection);
}

void ProgramProcessTest::TearDown() {
    EXPECT_TRUE(WaitForAllChildren()) << "a started process is still running";
    Driver.reset();
    if (Connection != nullptr) XCloseDisplay(Connection);
    Connection = nullptr;
}

Window ProgramProcessTest::WaitForWindow(const std::string& title, pid_t pid) {
    Window window = None;
    if (!WaitUntil([&] { return (window = Driver->FindWindow(title, pid)) != None; })) {
        ADD_FAILURE() << "no window \"" << title << "\" shows";
    }
    return window;
}

bool ProgramProcessTest::WaitUntilDrawn(Window window, const ClientArea& area) {
    const bool drawn = WaitUntil([&] { return Driver->ShowsDrawing(window, area); });
    if (!drawn) ADD_FAILURE() << "nothing is drawn at (" << area.X << ", " << area.Y << ")";
    return drawn;
}

}  // namespace window_test
