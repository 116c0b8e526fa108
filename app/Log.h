#pragma once

// The event log: one line to standard output and the same line appended to
// Log.txt in the working directory. A message is informational; an error
// ends the process with exit code 1.
void LogMessage(const char* text, const char* tag);
[[noreturn]] void LogError(const char* text, const char* tag);
