#include "app/web/FrameClock.h"

namespace {

const uint64_t microsPerSecond = 1000000u;

// Ticks due from the origin up to now, tick 0 included: tick n falls due at
// origin + n / ticksPerSecond seconds, exactly, with no rounding of a period.
uint64_t TicksDueSince(uint64_t origin, uint64_t now) {
    return (now - origin) * FrameClock::ticksPerSecond / microsPerSecond + 1;
}

}  // namespace

void FrameClock::Restart(uint64_t now) {
    const uint64_t halfPeriod = microsPerSecond / ticksPerSecond / 2;
    origin = now >= halfPeriod ? now - halfPeriod : 0;
    ticksRun = 0;
    started = true;
    ++restarts;
}

int FrameClock::TicksDue(uint64_t now) {
    if (!started || now < origin) {
        Restart(now);
    }
    uint64_t due = TicksDueSince(origin, now) - ticksRun;
    if (due > static_cast<uint64_t>(maxTicksPerFrame)) {
        Restart(now);
        due = TicksDueSince(origin, now);
    }
    ticksRun += due;
    return static_cast<int>(due);
}
