// The art generator run by the build: same bytes every run, clear failures.
#include "app/ArtFiles.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/ArtImages.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace arttest;

namespace {

// The file names of the game's art list (app/art.txt), font first.
std::vector<std::string> GameArt() {
    const size_t folder = std::strlen("../gfx/");
    std::vector<std::string> names = {fontArt.path + folder};
    for (int i = 0; i < otherArtCount; ++i) {
        names.push_back(otherArt[i].path + folder);
    }
    return names;
}

const std::vector<std::string> files = GameArt();

int RunGenerator(const std::string& arguments) {
    const std::string command = "'" + GeneratorPath() + "' " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Generator, WritesTheSameBytesAsTheBuildDid) {
    testsupport::ScratchDir scratch;
    ASSERT_EQ(0, RunGenerator("'" + scratch.Path() + "'"));
    for (const std::string& file : files) {
        const std::string built = testsupport::ReadFile(GfxPath(file));
        const std::string again = testsupport::ReadFile(scratch.File(file));
        ASSERT_FALSE(built.empty()) << file << " missing from the build";
        EXPECT_TRUE(built == again) << file << " differs on a second run";
    }
    // Every picture drawn is one the game loads, and the other way round.
    std::set<std::string> drawn;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.Path())) {
        drawn.insert(entry.path().filename());
    }
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()), drawn);
}

TEST(Generator, FailsWithoutAFolderItCanWrite) {
    testsupport::ScratchDir scratch;
    EXPECT_EQ(1, RunGenerator("'" + scratch.Path() + "/no/such/folder'"));
    EXPECT_EQ(1, RunGenerator(""));
}

TEST(Generator, PngFilesAreEightBitRgba) {
    for (const std::string& file : files) {
        const std::string& name = file;
        if (name.compare(name.size() - 4, 4, ".png") != 0) {
            continue;
        }
        const std::string bytes = testsupport::ReadFile(GfxPath(file));
        ASSERT_GE(bytes.size(), 33u) << file;
        // IHDR: bit depth at byte 24, colour type at byte 25 (6 = RGBA).
        EXPECT_EQ(8, bytes[24]) << file;
        EXPECT_EQ(6, bytes[25]) << file;
    }
}

}  // namespace
