#pragma once

#include <cstdint>

// The few services of the operating system the shell needs: a millisecond
// clock, a millisecond sleep, the size of the primary screen and a thread.
namespace sys {

// Milliseconds from an arbitrary fixed point; wraps around like any 32-bit
// tick counter, so callers compare differences, never absolute values.
uint32_t Milliseconds();

void SleepMilliseconds(uint32_t ms);

struct ScreenSize {
    int width;
    int height;
};

// Size of the primary screen in pixels (opens the display if need be).
ScreenSize PrimaryScreenSize();

// Starts a detached thread running procedure(argument) with the default stack.
void StartThread(void (*procedure)(void*), void* argument);

}  // namespace sys
