#pragma once

#include <string>

namespace testsupport {

// A fresh empty folder under the system's temporary folder, removed by the
// destructor, or at exit by a process that ends without unwinding (a death
// test's child); the process's working directory is left alone.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

// Whole content of a file ("" if it cannot be read).
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace testsupport
