#pragma once

#include <cstdint>

// The browser shell's fixed-step clock. The page calls it once per animation
// frame with the time; it answers how many game ticks that frame runs, so
// that the game keeps exactly ticksPerSecond whatever the display's rate.
// Ticks fall due half a period before the frames of a display that runs at
// the tick rate, so the jitter of frame times never makes one frame run two
// ticks and the next none. A frame runs every tick due up to 300 ms of them,
// so that a display as slow as 4 frames a second keeps the pace; a longer gap
// (a hidden tab, a stall) starts the count afresh, and the game resumes with
// one tick instead of a burst.
class FrameClock {
public:
    static constexpr int ticksPerSecond = 60;
    static constexpr int maxTicksPerFrame = ticksPerSecond * 300 / 1000;

    // Ticks due at this moment, in microseconds of any monotonic clock.
    int TicksDue(uint64_t nowMicroseconds);

    // The next frame starts the count afresh, with one tick (the page shown
    // again after it was hidden).
    void StartAfresh() { started = false; }

    // Times the count was started afresh, the first frame included.
    int Restarts() const { return restarts; }

private:
    void Restart(uint64_t now);

    bool started = false;
    uint64_t origin = 0;   // moment tick 0 fell due
    uint64_t ticksRun = 0;  // ticks run since the origin
    int restarts = 0;
};
