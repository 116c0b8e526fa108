#include "app/DesktopPlatform.h"

#include <FL/Fl.H>

#include <execinfo.h>
#include <malloc.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define DUNMARK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define DUNMARK_SANITIZED 1
#endif
#endif

namespace sys {

namespace {

#ifndef DUNMARK_SANITIZED
struct FatalSignal {
    int number;
    const char* name;
};

const FatalSignal fatalSignals[] = {
    {SIGSEGV, "SIGSEGV"}, {SIGBUS, "SIGBUS"}, {SIGFPE, "SIGFPE"},
    {SIGILL, "SIGILL"},   {SIGABRT, "SIGABRT"},
};

const int backtraceDepth = 64;

// The kernel's ids of the threads a crash report tells apart; 0 until known.
std::atomic<pid_t> toolkitThread{0};
std::atomic<pid_t> gameThread{0};

// Only calls that are safe inside a signal handler from here on.
void WriteError(const char* text) {
    const ssize_t written = write(STDERR_FILENO, text, std::strlen(text));
    static_cast<void>(written);
}

void WriteNumber(int number) {
    char digits[12];
    char* cursor = digits + sizeof(digits) - 1;
    *cursor = '\0';
    unsigned value = number < 0 ? 0u : static_cast<unsigned>(number);
    do {
        *--cursor = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    WriteError(cursor);
}

// " on the game thread, task 1234 \"dunmark-game\"": which thread took the
// signal, its id and the kernel's name for it (a library's thread is
// recognised by its name, when the library gave it one).
void WriteThread() {
    const pid_t self = gettid();
    const char* role = " on another thread (a library's)";
    if (self == toolkitThread.load()) {
        role = " on the toolkit's thread";
    } else if (self == gameThread.load()) {
        role = " on the game thread";
    }
    char name[16] = {};
    prctl(PR_GET_NAME, name);
    WriteError(role);
    WriteError(", task ");
    WriteNumber(self);
    WriteError(" \"");
    WriteError(name);
    WriteError("\"");
}

void WriteHex(uintptr_t value) {
    char digits[2 * sizeof(value) + 3];
    char* cursor = digits + sizeof(digits) - 1;
    *cursor = '\0';
    do {
        *--cursor = "0123456789abcdef"[value % 16];
        value /= 16;
    } while (value != 0);
    *--cursor = 'x';
    *--cursor = '0';
    WriteError(cursor);
}

// Where the signal came from: ", sent by process N" (kill, raise, abort) or,
// from the processor, ", fault code C at address 0x..." (codes as in
// sigaction(2): 1 an unmapped address, 2 a forbidden one, 128 the kernel's
// own, as for a non-canonical address, which it reports as 0).
void WriteOrigin(const siginfo_t& info) {
    if (info.si_code <= 0) {
        WriteError(", sent by process ");
        WriteNumber(info.si_pid);
    } else {
        WriteError(", fault code ");
        WriteNumber(info.si_code);
        WriteError(" at address ");
        WriteHex(reinterpret_cast<uintptr_t>(info.si_addr));
    }
}

void OnFatalSignal(int number, siginfo_t* info, void*) {
    const char* name = "?";
    for (const FatalSignal& entry : fatalSignals) {
        if (entry.number == number) {
            name = entry.name;
        }
    }
    WriteError("dunmark: fatal signal ");
    WriteNumber(number);
    WriteError(" (");
    WriteError(name);
    WriteError(")");
    WriteThread();
    WriteOrigin(*info);
    WriteError("; backtrace:\n");
    void* frames[backtraceDepth];
    backtrace_symbols_fd(frames, backtrace(frames, backtraceDepth), STDERR_FILENO);
    // The handler was reset on entry: the signal now ends the process.
    raise(number);
}
#endif

}  // namespace

void ExitProcess(int code) {
    std::exit(code);
}

void KeepFreedMemory() {
    mallopt(M_TRIM_THRESHOLD, 16 << 20);
}

void ReturnKeptMemory() {
    malloc_trim(0);
}

void ReportCrashes() {
#ifndef DUNMARK_SANITIZED
    toolkitThread.store(gettid());
    // The first backtrace loads the unwinder, which allocates: not in the handler.
    void* frame = nullptr;
    backtrace(&frame, 1);
    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_RESETHAND | SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    for (const FatalSignal& entry : fatalSignals) {
        sigaction(entry.number, &action, nullptr);
    }
#endif
}

void MarkGameThread() {
#ifndef DUNMARK_SANITIZED
    gameThread.store(gettid());
#endif
    pthread_setname_np(pthread_self(), "dunmark-game");
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
