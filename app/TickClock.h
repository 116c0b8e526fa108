#pragma once

#include <cstdint>

// Pacing of the game thread: a tick starts no sooner than 1/ticksPerSecond of
// a second after the previous tick started.
extern int32_t ticksPerSecond;

// Start of the last game tick, in microseconds of the platform clock. Set to
// the current time on its first use by MarkTick or WaitForTick; written only
// by the game thread.
extern uint64_t lastTickTime;

// Records the start of a game tick.
void MarkTick();

// Returns once a whole tick period has passed since the last MarkTick. It
// sleeps until the exact moment rather than polling, so the game keeps its
// full rate instead of losing the polling slack on every tick.
void WaitForTick();
