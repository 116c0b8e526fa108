#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace fuzz {

namespace {

// Taken before libFuzzer starts, so a failed check still reaches the console
// when the fuzzer closes the targets' chatter on standard error
// (-close_fd_mask=2).
const int reportFd = dup(2);

std::string scratchDir;
std::set<std::string> scratchFiles;

void RemoveScratch() {
    for (const std::string& path : scratchFiles) {
        unlink(path.c_str());
    }
    rmdir(scratchDir.c_str());
}

const std::string& ScratchDir() {
    if (scratchDir.empty()) {
        // Memory-backed when the machine has it: an input is written per run.
        const char* base = std::getenv("TMPDIR");
        if (base == nullptr) {
            base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        }
        std::string pattern = std::string(base) + "/dunmark-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            Fail("cannot make a scratch folder");
        }
        scratchDir = pattern;
        std::atexit(RemoveScratch);
    }
    return scratchDir;
}

}  // namespace

std::string WriteScratchFile(const char* name, const uint8_t* data, size_t size) {
    const std::string path = ScratchDir() + "/" + name;
    scratchFiles.insert(path);
    // A new file each time: rewriting one in place makes some file systems
    // flush it to disk on close.
    unlink(path.c_str());
    FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size)) {
        Fail("cannot write a scratch file");
    }
    std::fclose(file);
    return path;
}

void Fail(const char* what) {
    dprintf(reportFd, "fuzz: %s\n", what);
    std::abort();
}

void CheckRefusal(const LoggedError& error, const char* tag,
                  std::initializer_list<const char*> inputFaults) {
    // For sorting out a corpus by hand: which inputs are refused, and why.
    if (std::getenv("DUNMARK_FUZZ_TRACE") != nullptr) {
        dprintf(reportFd, "refused: %s.error: %s\n", error.tag.c_str(), error.text.c_str());
    }
    if (error.tag != tag) {
        Fail("an error line came with the wrong tag");
    }
    for (const char* const fault : inputFaults) {
        if (error.text.compare(0, std::strlen(fault), fault) == 0) {
            return;
        }
    }
    const std::string what = "an input ended the program with an error that is not about the input: " +
                             error.tag + ".error: " + error.text;
    Fail(what.c_str());
}

}  // namespace fuzz
