#include "app/TickClock.h"

#include "app/Platform.h"

int32_t ticksPerSecond = 60;
uint64_t lastTickTime = 0;

namespace {

const uint64_t microsPerSecond = 1000000u;
bool lastTickTimeSet = false;

void PrimeLastTickTime() {
    if (!lastTickTimeSet) {
        lastTickTime = sys::Microseconds();
        lastTickTimeSet = true;
    }
}

// Whole microseconds of one tick, rounded up so a tick never comes early.
uint64_t TickPeriod() {
    const uint64_t rate = static_cast<uint64_t>(ticksPerSecond > 0 ? ticksPerSecond : 1);
    return (microsPerSecond + rate - 1) / rate;
}

}  // namespace

void MarkTick() {
    const uint64_t now = sys::Microseconds();
    const uint64_t due = lastTickTime + TickPeriod();
    if (lastTickTimeSet && now >= due && now - due < TickPeriod()) {
        lastTickTime = due;
    } else {
        lastTickTime = now;
    }
    lastTickTimeSet = true;
}

void WaitForTick() {
    PrimeLastTickTime();
    const uint64_t period = TickPeriod();
    while (sys::Microseconds() - lastTickTime < period) {
        sys::SleepUntil(lastTickTime + period);
    }
}
