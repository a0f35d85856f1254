#include "base/Clock.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

TEST(VirtualClock, SleepsAdvanceTimeAndAreRecordedInOrder) {
    VirtualClock clock;
    ScopedClock scope(clock);
    SleepMs(10);
    clock.Advance(500);  // a time-out that ran out is not a pause
    SleepMs(32);
    SleepMs(-5);
    EXPECT_EQ(NowMs(), 542);
    ASSERT_EQ(clock.Pauses().size(), 3u);
    EXPECT_EQ(clock.Pauses()[1].at, 510);
    EXPECT_EQ(clock.PauseLengths(), (std::vector<std::int64_t>{10, 32, 0}));
    EXPECT_EQ(clock.TotalPausedMs(), 42);
}

TEST(VirtualClock, ScopeRestoresTheSystemClock) {
    Clock* before = &GetClock();
    {
        VirtualClock clock;
        ScopedClock scope(clock);
        EXPECT_EQ(&GetClock(), &clock);
    }
    EXPECT_EQ(&GetClock(), before);
    const auto t0 = NowMs();
    SleepMs(2);
    EXPECT_GE(NowMs() - t0, 2);
}

}  // namespace
}  // namespace keyloft
