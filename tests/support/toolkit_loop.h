// Running this process's toolkit loop from a test: until it has nothing left
// to do and the X server shows what it drew, or until something holds.
#pragma once

#include <functional>

#include "tests/support/waiting.h"

namespace support {

// Handles every pending event, timer and idle task and repaints, then waits
// until the X server has handled what that sent and handles what it sent
// back, until nothing is pending (or WindowPatience has passed).
void Settle();

// Settles, then checks `done`, and again while it does not hold; false when
// it still does not once `patience` has passed.
bool SettleUntil(const std::function<bool()>& done, Milliseconds patience = WindowPatience);

// Runs the loop for a span of time, for a test of what happens while time
// passes (a held button, a repeat delay).
void RunLoopFor(Milliseconds span);

}  // namespace support
