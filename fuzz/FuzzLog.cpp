// The event log of the fuzz builds. Messages are read (so a bad text still
// shows up under the sanitizers) but go nowhere; an error line becomes a
// LoggedError thrown back to the fuzz target instead of the end of the
// process.
#include "app/Log.h"

#include <cstring>

#include "fuzz/FuzzSupport.h"

namespace {

volatile size_t loggedBytes = 0;

}  // namespace

void LogMessage(const char* text, const char* tag) {
    loggedBytes = loggedBytes + std::strlen(text) + std::strlen(tag);
}

void LogError(const char* text, const char* tag) {
    throw fuzz::LoggedError{ tag, text };
}
