// Waiting for something another process or the X server does: poll with a
// deadline instead of sleeping for a guessed time.
#pragma once

#include <chrono>
#include <functional>

namespace support {

using Milliseconds = std::chrono::milliseconds;

// How long a wait for another process (a start, a window, an end) may take
// on a slow, loaded machine before the test fails.
constexpr Milliseconds ProcessPatience{30000};
// How long a wait for this process's own window (a repaint, a layout) may
// take before the test fails.
constexpr Milliseconds WindowPatience{5000};
constexpr Milliseconds PollPause{20};

// Checks `done` every PollPause until it holds; false when it still does not
// once `patience` has passed.
bool WaitUntil(const std::function<bool()>& done, Milliseconds patience = ProcessPatience);

}  // namespace support
