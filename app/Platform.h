#pragma once

#include <cstdint>

// The services of the operating system every build has: a monotonic clock,
// sleeping until a moment of it, and the end of the process. The clock is the
// same code on every platform (PlatformClock.cpp); the end of the process is
// one file per platform: Platform.cpp on the desktop, web/WebPlatform.cpp in
// the browser. What only the desktop has is in DesktopPlatform.h.
namespace sys {

// Microseconds of a monotonic clock from an arbitrary fixed point.
uint64_t Microseconds();

// Sleeps until Microseconds() has reached the given moment (returns at once
// if it has passed).
void SleepUntil(uint64_t microseconds);

// Ends the process with the exit code, as the C library's exit does. In the
// browser it ends the program even though the page's frames keep it alive,
// and the page shows its last words.
[[noreturn]] void ExitProcess(int code);

}  // namespace sys
