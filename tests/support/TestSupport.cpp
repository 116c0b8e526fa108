#include "tests/support/TestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace {

// Every scratch folder not removed yet, with the process that made it.
std::map<std::string, pid_t>& LiveFolders() {
    static std::map<std::string, pid_t> folders;
    return folders;
}

void Remove(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

// A death test's child ends in exit() without unwinding its stack, so the
// destructors of its folders never run. A forked child leaves its parent's
// folders alone.
void RemoveFoldersAtExit() {
    for (const auto& [path, owner] : LiveFolders()) {
        if (owner == getpid()) {
            Remove(path);
        }
    }
}

}  // namespace

ScratchDir::ScratchDir() {
    // The map exists before the handler is registered, so it outlives it.
    static const bool atExit = (LiveFolders(), std::atexit(RemoveFoldersAtExit) == 0);
    (void)atExit;
    std::string pattern = (std::filesystem::temp_directory_path() / "dunmark-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch folder");
    }
    path = pattern;
    LiveFolders()[path] = getpid();
}

ScratchDir::~ScratchDir() {
    Remove(path);
    LiveFolders().erase(path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testsupport
