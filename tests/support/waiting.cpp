#include "tests/support/waiting.h"

#include <thread>

namespace support {

bool WaitUntil(const std::function<bool()>& done, Milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(PollPause);
    }
    return true;
}

}  // namespace support
