#include <gtest/gtest.h>

#include <vector>

#include "app/Platform.h"
#include "app/TickClock.h"

namespace {

// Runs the game thread's pacing loop for the given number of ticks and
// returns the moment each tick started.
std::vector<uint64_t> RunTicks(int count) {
    std::vector<uint64_t> starts;
    for (int i = 0; i < count; ++i) {
        WaitForTick();
        MarkTick();
        starts.push_back(sys::Microseconds());
    }
    return starts;
}

TEST(TickClock, TicksAreNeverCloserThanOnePeriod) {
    ticksPerSecond = 60;
    const std::vector<uint64_t> starts = RunTicks(40);
    for (size_t i = 1; i < starts.size(); ++i) {
        // 1000000 / 60 = 16666.7 microseconds.
        EXPECT_GE(starts[i] - starts[i - 1], 16666u) << "tick " << i;
    }
}

TEST(TickClock, AboutSixtyTicksInOneSecond) {
    ticksPerSecond = 60;
    WaitForTick();
    MarkTick();
    const uint64_t begin = lastTickTime;
    int ticks = 0;
    while (lastTickTime - begin < 1000000u) {
        WaitForTick();
        MarkTick();
        ++ticks;
    }
    EXPECT_LE(ticks, 61);
    EXPECT_GE(ticks, 50);
}

TEST(TickClock, WaitReturnsAtOnceWhenTheTickIsOverdue) {
    ticksPerSecond = 60;
    MarkTick();
    sys::SleepUntil(sys::Microseconds() + 40000u);
    const uint64_t before = sys::Microseconds();
    WaitForTick();
    EXPECT_LT(sys::Microseconds() - before, 5000u);
}

}  // namespace
