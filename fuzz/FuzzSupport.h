#pragma once

#include <cstddef>
#include <cstdint>
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
// with some text.
void CheckRefusal(const LoggedError& error, const char* tag);

}  // namespace fuzz
