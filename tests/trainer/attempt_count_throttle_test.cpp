// When the status label's count is painted during a generation run.
#include <gtest/gtest.h>

#include "trainer/attempt_count_throttle.h"

namespace trainer {
namespace {

using trainer::AttemptCountThrottle;
using Clock = AttemptCountThrottle::Clock;

TEST(AttemptCountThrottle, PaintsAtMostOncePerFrameAndNeverLeavesAnOldCount) {
    AttemptCountThrottle throttle;
    const Clock::time_point start{};
    const auto frame = AttemptCountThrottle::FrameInterval;

    ASSERT_TRUE(throttle.Due(1, start)) << "the first count of a run shows at once";
    throttle.Painted(1, start);
    EXPECT_FALSE(throttle.Behind());

    int painted = 0;
    for (int count = 2; count <= 1000; ++count) {
        // A thousand counts within half a frame: none is painted.
        if (throttle.Due(count, start + frame / 2)) ++painted;
    }
    EXPECT_EQ(painted, 0);
    EXPECT_TRUE(throttle.Behind());
    EXPECT_EQ(throttle.LatestCount(), 1000);

    EXPECT_TRUE(throttle.Due(1001, start + frame));
    throttle.Painted(1001, start + frame);
    EXPECT_FALSE(throttle.Behind());
    EXPECT_FALSE(throttle.Due(1002, start + frame + frame / 3));
    EXPECT_TRUE(throttle.Behind()) << "the run's last count still has to be painted";
}

}  // namespace
}  // namespace trainer
