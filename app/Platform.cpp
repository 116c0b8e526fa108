#include "app/Platform.h"

#include <FL/Fl.H>

#include <malloc.h>

#include <cerrno>
#include <ctime>
#include <thread>

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

void KeepFreedMemory() {
    mallopt(M_TRIM_THRESHOLD, 16 << 20);
}

void ReturnKeptMemory() {
    malloc_trim(0);
}

ScreenSize PrimaryScreenSize() {
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_xywh(x, y, w, h, 0);
    return ScreenSize{w, h};
}

void StartThread(void (*procedure)(void*), void* argument) {
    std::thread(procedure, argument).detach();
}

}  // namespace sys
