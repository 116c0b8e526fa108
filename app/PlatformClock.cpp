#include "app/Platform.h"

#include <cerrno>
#include <ctime>

// The clock both shells keep time by. In the browser the C library reads it
// from the page's performance.now().
namespace sys {

namespace {

const uint64_t microsPerSecond = 1000000u;

}  // namespace

uint64_t Microseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * microsPerSecond +
           static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

void SleepUntil(uint64_t microseconds) {
    timespec due{};
    due.tv_sec = static_cast<time_t>(microseconds / microsPerSecond);
    due.tv_nsec = static_cast<long>(microseconds % microsPerSecond) * 1000L;
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
    }
}

}  // namespace sys
