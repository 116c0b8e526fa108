#include "app/TickClock.h"

#include "app/Platform.h"

int32_t ticksPerSecond = 60;
uint64_t lastTickTime = 0;

namespace {

const uint64_t microsPerSecond = 1000000u;
bool lastTickTimeSet = false;
TickClockSource tickClock = {sys::Microseconds, sys::SleepUntil};

void PrimeLastTickTime() {
    if (!lastTickTimeSet) {
        lastTickTime = tickClock.now();
        lastTickTimeSet = true;
    }
}

// Whole microseconds of one tick, rounded up so a tick never comes early.
uint64_t TickPeriod() {
    const uint64_t rate = static_cast<uint64_t>(ticksPerSecond > 0 ? ticksPerSecond : 1);
    return (microsPerSecond + rate - 1) / rate;
}

}  // namespace

void SetTickClockSource(const TickClockSource& source) {
    tickClock.now = source.now ? source.now : sys::Microseconds;
    tickClock.sleepUntil = source.sleepUntil ? source.sleepUntil : sys::SleepUntil;
    lastTickTimeSet = false;
}

void MarkTick() {
    const uint64_t now = tickClock.now();
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
    while (tickClock.now() - lastTickTime < period) {
        tickClock.sleepUntil(lastTickTime + period);
    }
}
