#include "app/Log.h"

#include <cstdio>

#include "app/Platform.h"

namespace {

const char* const logFileName = "Log.txt";

void WriteLine(FILE* out, const char* tag, const char* infix, const char* text) {
    std::fputs(tag, out);
    std::fputs(infix, out);
    std::fputs(text, out);
    std::fputc('\n', out);
}

// Writes the line to the console and appends it to Log.txt. An unwritable
// Log.txt is ignored: the console line is what matters then.
void WriteEverywhere(const char* tag, const char* infix, const char* text) {
    WriteLine(stdout, tag, infix, text);
    std::fflush(stdout);
    FILE* file = std::fopen(logFileName, "a");
    if (file != nullptr) {
        WriteLine(file, tag, infix, text);
        std::fclose(file);
    }
}

}  // namespace

void LogMessage(const char* text, const char* tag) {
    WriteEverywhere(tag, ".message: ", text);
}

void LogError(const char* text, const char* tag) {
    WriteEverywhere(tag, ".error: ", text);
    sys::ExitProcess(1);
}
