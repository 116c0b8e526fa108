#pragma once

#include <cstdint>

// Pacing of the game thread: a tick starts no sooner than 1000 / ticksPerSecond
// milliseconds after the previous tick started.
extern int32_t ticksPerSecond;
extern uint32_t lastTickTime;

// Records the start of a game tick.
void MarkTick();

// Returns once a whole tick period has passed since the last MarkTick,
// polling the millisecond clock with 1 ms sleeps.
void WaitForTick();
