#pragma once

#include "app/Platform.h"

// What only the desktop's operating system gives the shell (Platform.cpp):
// the C library's handling of freed memory, a report of a crash, the size of
// the primary screen and a thread.
namespace sys {

struct ScreenSize {
    int width;
    int height;
};

// Makes the C library keep up to 16 MB of freed memory for reuse instead of
// handing it back to the kernel at once. The software OpenGL driver allocates
// and frees a 64 KB buffer for every primitive it draws; by default each free
// gives the memory back and the next primitive faults it in again, thousands
// of times a second. Called first thing in main.
void KeepFreedMemory();

// Hands the pages of every freed block back to the kernel, wherever it lies
// in the heap (not only at its top, as the trim threshold does). Called now
// and then, so that memory the driver's buffers needed once, in a busy frame
// or between fragments, does not stay resident for the rest of the run.
void ReturnKeptMemory();

// On a fatal signal (a crash or an abort), writes "dunmark: fatal signal N
// (NAME) on THREAD, task ID \"KERNEL'S NAME\", ORIGIN; backtrace:" and a
// backtrace of the thread that took it to standard error, then lets the
// signal end the process as it would have. THREAD is "the toolkit's thread"
// (the one that called this), "the game thread" (see MarkGameThread) or
// "another thread (a library's)"; ORIGIN is "sent by process P" or "fault
// code C at address 0x...". A thread that blocks the signal (the software
// OpenGL driver's block all) never runs the report: the kernel ends the
// process at once. Sanitizer builds keep their own reports. Called first
// thing in main.
void ReportCrashes();

// Makes the calling thread the game thread of crash reports, and gives it the
// kernel's name "dunmark-game" (seen in a debugger's or top's list of
// threads). Called first thing on the game thread.
void MarkGameThread();

// Size of the primary screen in pixels (opens the display if need be).
ScreenSize PrimaryScreenSize();

// Starts a detached thread running procedure(argument) with the default stack.
void StartThread(void (*procedure)(void*), void* argument);

}  // namespace sys
