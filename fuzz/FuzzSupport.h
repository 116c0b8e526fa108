#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

// Shared by the fuzz targets. In these builds LogError does not end the
// process: it throws LoggedError, which the target catches as the clean end
// of an input the program refuses.
namespace fuzz {

struct LoggedError {
    std::string tag;
    std::string text;
};

// A file of this process's own scratch folder holding exactly the given
// bytes; the loaders read their input from files.
std::string WriteScratchFile(const char* name, const uint8_t* data, size_t size);

// Stops the process with a report when a property of the output fails.
[[noreturn]] void Fail(const char* what);

}  // namespace fuzz

namespace fuzz {

// A refused input must have given an error line of the expected subsystem
// that is about the input: its text starts with one of the given beginnings.
// Any other error line (a failed library call, a file that cannot be opened)
// is a fault of the program, not of the input.
void CheckRefusal(const LoggedError& error, const char* tag,
                  std::initializer_list<const char*> inputFaults);

}  // namespace fuzz
