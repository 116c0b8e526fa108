#include <gtest/gtest.h>

#include <cstdint>

#include "app/web/FrameClock.h"

namespace {

const uint64_t second = 1000000u;

// Runs frames at the given rate from a start time up to the given seconds
// later, both ends included; returns the ticks run and the most any one frame
// ran. Tick 0 falls due at the first frame, so n seconds hold 60 n + 1 ticks.
struct FrameRun {
    uint64_t ticks = 0;
    int mostInOneFrame = 0;
    int framesWithoutTick = 0;
};

FrameRun RunFrames(FrameClock& clock, uint64_t start, uint64_t framesPerSecond, uint64_t seconds,
              int64_t jitter = 0) {
    FrameRun run;
    const uint64_t frames = framesPerSecond * seconds;
    for (uint64_t i = 0; i <= frames; ++i) {
        const int64_t wobble = (i % 2 == 0) ? jitter : -jitter;
        const uint64_t now = start + i * second / framesPerSecond + wobble;
        const int ticks = clock.TicksDue(now);
        run.ticks += static_cast<uint64_t>(ticks);
        run.mostInOneFrame = ticks > run.mostInOneFrame ? ticks : run.mostInOneFrame;
        run.framesWithoutTick += ticks == 0 ? 1 : 0;
    }
    return run;
}

}  // namespace

TEST(FrameClock, SixtyTicksASecondAtEveryDisplayRate) {
    for (const uint64_t rate : {4u, 8u, 10u, 14u, 30u, 60u, 75u, 120u, 144u, 1000u}) {
        FrameClock clock;
        const FrameRun run = RunFrames(clock, 5 * second, rate, 10);
        EXPECT_EQ(run.ticks, 601u) << rate << " frames a second";
        EXPECT_LE(run.mostInOneFrame, FrameClock::maxTicksPerFrame) << rate;
        EXPECT_EQ(clock.Restarts(), 1) << rate;
    }
}

TEST(FrameClock, ADisplayAtTheTickRateRunsOneTickEveryFrameDespiteJitter) {
    FrameClock clock;
    const FrameRun run = RunFrames(clock, second, 60, 10, 3000);
    EXPECT_EQ(run.ticks, 601u);
    EXPECT_EQ(run.mostInOneFrame, 1);
    EXPECT_EQ(run.framesWithoutTick, 0);
}

TEST(FrameClock, ASlowDisplayRunsSeveralTicksAFrame) {
    FrameClock clock;
    const FrameRun run = RunFrames(clock, second, 15, 4);
    EXPECT_EQ(run.ticks, 241u);
    EXPECT_EQ(run.mostInOneFrame, 4);
    EXPECT_EQ(clock.Restarts(), 1);
}

TEST(FrameClock, AStallOrAPageShownAgainStartsTheCountAfreshWithoutABurst) {
    FrameClock clock;
    RunFrames(clock, second, 60, 4);
    // A stall: the next frame comes a second later.
    EXPECT_EQ(clock.TicksDue(6 * second), 1);
    EXPECT_EQ(clock.Restarts(), 2);
    EXPECT_EQ(clock.TicksDue(6 * second + second / 60), 1);
    // A gap of exactly 300 ms, 18 periods, is still caught up; one longer is not.
    EXPECT_EQ(clock.TicksDue(6 * second + 19 * second / 60), 18);
    EXPECT_EQ(clock.TicksDue(6 * second + 38 * second / 60 + 1), 1);
    EXPECT_EQ(clock.Restarts(), 3);
    // A page shown again: one tick, though 100 ms of them are due.
    clock.StartAfresh();
    EXPECT_EQ(clock.TicksDue(6 * second + 44 * second / 60), 1);
    EXPECT_EQ(clock.Restarts(), 4);
}

TEST(FrameClock, AClockThatGoesBackStartsAfresh) {
    FrameClock clock;
    EXPECT_EQ(clock.TicksDue(10 * second), 1);
    EXPECT_EQ(clock.TicksDue(2 * second), 1);
    EXPECT_EQ(clock.Restarts(), 2);
    EXPECT_EQ(clock.TicksDue(2 * second + second / 120), 0);
}
