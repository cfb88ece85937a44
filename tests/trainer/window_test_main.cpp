// The window tests' entry point: the toolkit is started once for all tests.
// Without a display the tests can still be listed; run, they fail.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "window_events/toolkit.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    window_events::StartToolkit(&argc, &argv);
    return RUN_ALL_TESTS();
}
