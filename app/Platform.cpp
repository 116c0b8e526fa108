#include "app/Platform.h"

#include <FL/Fl.H>

#include <ctime>
#include <thread>

namespace sys {

uint32_t Milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                        static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void SleepMilliseconds(uint32_t ms) {
    timespec wait{};
    wait.tv_sec = static_cast<time_t>(ms / 1000u);
    wait.tv_nsec = static_cast<long>(ms % 1000u) * 1000000L;
    while (nanosleep(&wait, &wait) != 0) {
    }
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
