// When to paint the status label's attempt count during a generation run.
// Painting every one of up to 30000 counts would cost more than the run
// itself, and no screen shows more than one count per frame: the count is
// painted at most once per frame interval, and the exact last count is
// painted when the run ends.
#pragma once

#include <chrono>
#include <cstdint>

namespace trainer {

class AttemptCountThrottle {
  public:
    using Clock = std::chrono::steady_clock;
    // One frame of a 60 Hz screen.
    static constexpr Clock::duration FrameInterval = std::chrono::microseconds(16667);

    // A run reached `count` at `now`: true when the count should be painted
    // now (the first count ever, or a frame interval after the last paint).
    bool Due(std::int32_t count, Clock::time_point now) {
        Latest = count;
        return !AnyPainted || now - LastPaint >= FrameInterval;
    }
    // The count on screen is now `count`, painted at `now`.
    void Painted(std::int32_t count, Clock::time_point now) {
        OnScreen = count;
        LastPaint = now;
        AnyPainted = true;
    }
    // True when the latest count reached is not the one on screen.
    bool Behind() const { return Latest != OnScreen; }
    std::int32_t LatestCount() const { return Latest; }

  private:
    std::int32_t Latest = 0;
    std::int32_t OnScreen = 0;
    Clock::time_point LastPaint{};
    bool AnyPainted = false;
};

}  // namespace trainer
