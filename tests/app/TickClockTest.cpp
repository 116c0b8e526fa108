#include <gtest/gtest.h>

#include <vector>

#include "app/Platform.h"
#include "app/TickClock.h"

namespace {

const uint64_t period = 16667;  // 1000000 / 60, rounded up

// A clock the test moves: sleeping takes it to the requested moment plus
// however late the scheduler is said to wake the thread.
uint64_t fakeNow = 0;
uint64_t wakeLateness = 0;
int sleeps = 0;

uint64_t FakeNow() { return fakeNow; }

void FakeSleepUntil(uint64_t moment) {
    ++sleeps;
    if (moment > fakeNow) {
        fakeNow = moment;
    }
    fakeNow += wakeLateness;
}

class TickClock : public ::testing::Test {
protected:
    void SetUp() override {
        fakeNow = 5000000;
        wakeLateness = 0;
        sleeps = 0;
        ticksPerSecond = 60;
        SetTickClockSource({FakeNow, FakeSleepUntil});
    }
    void TearDown() override { SetTickClockSource({nullptr, nullptr}); }

    // The game thread's pacing loop: wait, then (after a lock that may keep
    // the thread waiting) mark the tick. Returns the moment each tick's work
    // began.
    static std::vector<uint64_t> RunTicks(int count, uint64_t lockWait) {
        std::vector<uint64_t> starts;
        for (int i = 0; i < count; ++i) {
            WaitForTick();
            fakeNow += lockWait;
            MarkTick();
            starts.push_back(fakeNow);
        }
        return starts;
    }
};

TEST_F(TickClock, EachTickStartsAtItsPlaceInTheSchedulePlusTheWakeLateness) {
    const uint64_t scheduleStart = fakeNow;
    for (uint64_t i = 1; i <= 40; ++i) {
        wakeLateness = (i * 7919u) % 3000u;  // uneven waking, always under a period
        WaitForTick();
        MarkTick();
        EXPECT_EQ(fakeNow - scheduleStart, i * period + wakeLateness) << "tick " << i;
    }
}

TEST_F(TickClock, SixtyTicksTakeExactlyOneSecondOfPeriods) {
    const std::vector<uint64_t> onTime = RunTicks(61, 0);
    EXPECT_EQ(onTime.back() - onTime.front(), 60 * period);

    wakeLateness = 900;  // woken late every time: the lateness must not add up
    const std::vector<uint64_t> late = RunTicks(61, 0);
    EXPECT_EQ(late.back() - late.front(), 60 * period);
}

TEST_F(TickClock, WaitingForTheLockDoesNotSlowTheGame) {
    const std::vector<uint64_t> starts = RunTicks(61, 4000);
    EXPECT_EQ(starts.back() - starts.front(), 60 * period);
}

TEST_F(TickClock, WaitSleepsOnceUntilTheExactMoment) {
    WaitForTick();
    MarkTick();
    const uint64_t start = fakeNow;
    sleeps = 0;
    WaitForTick();
    EXPECT_EQ(sleeps, 1);
    EXPECT_EQ(fakeNow, start + period);
}

TEST_F(TickClock, LateTickStartsAfreshInsteadOfCatchingUp) {
    WaitForTick();
    MarkTick();
    const uint64_t first = fakeNow;

    fakeNow = first + period + period - 1;  // due one period ago, less one microsecond
    sleeps = 0;
    WaitForTick();
    EXPECT_EQ(sleeps, 0) << "an overdue tick starts at once";
    MarkTick();
    WaitForTick();
    EXPECT_EQ(fakeNow, first + 2 * period) << "a tick late by less than a period keeps the schedule";

    const uint64_t before = fakeNow;
    MarkTick();
    fakeNow = before + 2 * period;  // due a whole period ago
    WaitForTick();
    MarkTick();
    const uint64_t lateStart = fakeNow;
    WaitForTick();
    EXPECT_EQ(fakeNow, lateStart + period) << "no burst of ticks follows";
}

TEST_F(TickClock, RateFollowsTicksPerSecond) {
    ticksPerSecond = 30;
    const std::vector<uint64_t> starts = RunTicks(31, 0);
    EXPECT_EQ(starts.back() - starts.front(), 30 * 33334u);
}

// With the platform clock a tick may come late on a busy machine, but never
// early.
TEST(TickClockPlatform, WaitNeverEndsBeforeAWholePeriod) {
    SetTickClockSource({nullptr, nullptr});
    ticksPerSecond = 60;
    WaitForTick();
    MarkTick();
    for (int i = 0; i < 5; ++i) {
        const uint64_t start = lastTickTime;
        WaitForTick();
        EXPECT_GE(sys::Microseconds() - start, period);
        MarkTick();
    }
}

}  // namespace
