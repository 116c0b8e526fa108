#include "app/TickClock.h"

#include "app/Platform.h"

int32_t ticksPerSecond = 60;
uint32_t lastTickTime = 0;

namespace {

bool lastTickTimeSet = false;

// lastTickTime starts as the time of its first use.
void PrimeLastTickTime() {
    if (!lastTickTimeSet) {
        lastTickTime = sys::Milliseconds();
        lastTickTimeSet = true;
    }
}

}  // namespace

void MarkTick() {
    lastTickTime = sys::Milliseconds();
    lastTickTimeSet = true;
}

void WaitForTick() {
    PrimeLastTickTime();
    for (;;) {
        const int32_t elapsed = static_cast<int32_t>(sys::Milliseconds() - lastTickTime);
        if (elapsed * ticksPerSecond >= 1000) {
            return;
        }
        sys::SleepMilliseconds(1);
    }
}
