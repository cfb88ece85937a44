#include "tests/support/program_process_test.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "tests/support/processes.h"
#include "tests/support/waiting.h"

namespace support {
namespace {

// The X errors this process's requests caused since the last look. Xlib's
// default handler would end the whole test run at the first one; they are
// kept here instead and fail the test that caused them. Xlib hands its
// handler no data of its own, hence one list for the process.
std::string& XErrorsSeen() {
    static std::string seen;
    return seen;
}

int NoteXError(Display* display, XErrorEvent* error) {
    char text[128] = {};
    XGetErrorText(display, error->error_code, text, sizeof text - 1);
    std::ostringstream note;
    note << text << " (request " << static_cast<int>(error->request_code) << ", resource 0x" << std::hex
         << error->resourceid << "); ";
    XErrorsSeen() += note.str();
    return 0;
}

// The status of `pid` when it has ended, without reaping it; -1 while it runs.
int EndedStatus(pid_t pid) {
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != pid) return -1;
    return info.si_status;
}

}  // namespace

void ProgramProcessTest::SetUp() {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << NoDisplayReason;
    ASSERT_TRUE(AdoptOrphanedDescendants());
    Connection = XOpenDisplay(nullptr);
    ASSERT_NE(Connection, nullptr) << "cannot open the display";
    XSetErrorHandler(NoteXError);
    XErrorsSeen().clear();
    Driver = std::make_unique<XDriver>(Connection);
}

void ProgramProcessTest::TearDown() {
    EXPECT_TRUE(WaitForAllChildren()) << "a started process is still running";
    if (Connection != nullptr) XSync(Connection, False);
    EXPECT_EQ(XErrorsSeen(), "") << "X errors caused by the test's own requests";
    Driver.reset();
    if (Connection != nullptr) XCloseDisplay(Connection);
    Connection = nullptr;
}

Window ProgramProcessTest::WaitForWindow(const std::string& title, pid_t pid) {
    Window window = None;
    int ended = -1;
    WaitUntil([&] {
        window = Driver->FindWindow(title, pid);
        // A program that has ended shows nothing any more: fail at once.
        if (window == None && pid > 0) ended = EndedStatus(pid);
        return window != None || ended >= 0;
    });
    if (window == None && ended >= 0) {
        ADD_FAILURE() << "no window \"" << title << "\": process " << pid << " ended first (status " << ended << ")";
    } else if (window == None) {
        ADD_FAILURE() << "no window \"" << title << "\" shows within " << ProcessPatience.count() << " ms";
    }
    return window;
}

bool ProgramProcessTest::WaitUntilDrawn(Window window, const ClientArea& area) {
    const bool drawn = WaitUntil([&] { return Driver->ShowsDrawing(window, area); });
    if (!drawn) ADD_FAILURE() << "nothing is drawn at (" << area.X << ", " << area.Y << ")";
    return drawn;
}

}  // namespace support
