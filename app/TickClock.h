#pragma once

#include <cstdint>

// Pacing of the game thread: a tick starts no sooner than 1/ticksPerSecond of
// a second after the previous tick started.
extern int32_t ticksPerSecond;

// Start of the last game tick, in microseconds of the platform clock. Set to
// the current time on its first use by MarkTick or WaitForTick; written only
// by the game thread.
extern uint64_t lastTickTime;

// Records the start of a game tick. A tick that starts less than a period
// after it was due (woken late, or kept waiting for the toolkit's lock) is
// counted from the moment it was due, so such delays do not add up and the
// game keeps its full rate; a tick later than that starts the count afresh.
void MarkTick();

// Returns once a whole tick period has passed since the last tick's start.
// It sleeps until that exact moment rather than polling the clock.
void WaitForTick();

// The clock the ticks are paced by: the platform's monotonic clock and its
// sleep unless another is set. Setting a clock (nullptr fields restore the
// platform's) also forgets the last tick, so the next tick starts a new count.
struct TickClockSource {
    uint64_t (*now)();
    void (*sleepUntil)(uint64_t microseconds);
};
void SetTickClockSource(const TickClockSource& source);
