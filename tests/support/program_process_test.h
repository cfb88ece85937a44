// What a test of the built programs, run as processes of their own, starts
// with: a connection of its own to the X server for real input, and every
// process the programs start adopted, so that all have ended when the test
// has.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <memory>
#include <string>

#include "tests/support/x_driver.h"

namespace support {

class ProgramProcessTest : public ::testing::Test {
  protected:
    void SetUp() override;
    // A test that starts processes kills what still runs of them first.
    void TearDown() override;

    // The viewable top-level window titled `title` of process `pid`, once
    // the X server shows it; None (and a failure) when it does not in time
    // or the process (a child of this one) ends first. A test never uses a
    // window it has not found: it stops at None.
    Window WaitForWindow(const std::string& title, pid_t pid);
    // True once `window` shows something drawn in `area`, as a person sees
    // a control before using it; false (and a failure) when it does not in time.
    bool WaitUntilDrawn(Window window, const ClientArea& area);

    Display* Connection = nullptr;
    std::unique_ptr<XDriver> Driver;
};

}  // namespace support
