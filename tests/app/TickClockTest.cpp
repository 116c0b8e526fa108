#include <gtest/gtest.h>

#include <vector>

#include "app/Platform.h"
#include "app/TickClock.h"

namespace {

const uint64_t period = 16667;  // 1000000 / 60, rounded up

// The game thread's pacing loop: wait, then (after a lock that may keep the
// thread waiting) mark the tick. Returns the moment each tick's work began.
std::vector<uint64_t> RunTicks(int count, uint64_t lockWait) {
    std::vector<uint64_t> starts;
    ticksPerSecond = 60;
    for (int i = 0; i < count; ++i) {
        WaitForTick();
        sys::SleepUntil(sys::Microseconds() + lockWait);
        MarkTick();
        starts.push_back(sys::Microseconds());
    }
    return starts;
}

TEST(TickClock, TicksNeverRunAheadOfSixtyASecond) {
    const std::vector<uint64_t> starts = RunTicks(40, 0);
    for (size_t i = 2; i < starts.size(); ++i) {
        // The first tick sets the schedule; no later tick may come before its place in it.
        EXPECT_GE(starts[i] - starts[1] + 1000u, (i - 1) * period) << "tick " << i;
    }
}

TEST(TickClock, SixtyTicksASecond) {
    const std::vector<uint64_t> starts = RunTicks(61, 0);
    const uint64_t second = starts.back() - starts.front();
    EXPECT_GE(second, 60 * period - 1000);
    EXPECT_LE(second, 60 * period + 3000);
}

TEST(TickClock, WaitingForTheLockDoesNotSlowTheGame) {
    const std::vector<uint64_t> starts = RunTicks(61, 4000);
    const uint64_t second = starts.back() - starts.front();
    EXPECT_LE(second, 60 * period + 6000);
}

TEST(TickClock, LateTickStartsAfreshInsteadOfCatchingUp) {
    ticksPerSecond = 60;
    WaitForTick();
    MarkTick();
    sys::SleepUntil(sys::Microseconds() + 50000);
    const uint64_t lateStart = sys::Microseconds();
    WaitForTick();
    MarkTick();
    EXPECT_LT(sys::Microseconds() - lateStart, 5000u) << "an overdue tick starts at once";
    const uint64_t afterLate = sys::Microseconds();
    WaitForTick();
    EXPECT_GE(sys::Microseconds() - afterLate + 500u, period) << "no burst of ticks follows";
}

}  // namespace
