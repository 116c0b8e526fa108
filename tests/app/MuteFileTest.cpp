#include "app/MuteFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

// The state folder and home both in a scratch folder; the log caught.
class MuteFile : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_STATE_HOME", scratch.File("state").c_str(), 1);
        setenv("HOME", scratch.File("home").c_str(), 1);
        ::testing::internal::CaptureStdout();
    }
    void TearDown() override { static_cast<void>(::testing::internal::GetCapturedStdout()); }

    // The log lines written since the last call.
    std::string LogLines() {
        const std::string lines = ::testing::internal::GetCapturedStdout();
        ::testing::internal::CaptureStdout();
        return lines;
    }

    testsupport::ScratchDir scratch;
    const std::string path = scratch.File("state") + "/dunmark/mute";
};

// A relative state home is ignored, as the launcher ignores it.
TEST_F(MuteFile, TheChoiceIsKeptInTheStateFolderAndReadBack) {
    EXPECT_FALSE(StartsMuted(false)) << "no choice kept yet";
    for (const bool muted : {true, false, true}) {
        WriteMuteFile(muted);
        EXPECT_EQ(muted ? "on\n" : "off\n", ReadFile(path));
        EXPECT_EQ(muted, StartsMuted(false));
    }
    setenv("XDG_STATE_HOME", "state", 1);
    WriteMuteFile(false);
    EXPECT_EQ("off\n", ReadFile(scratch.File("home") + "/.local/state/dunmark/mute"));
    EXPECT_EQ("", LogLines());
}

TEST_F(MuteFile, ABrokenFileIsIgnoredWithOneLogLine) {
    WriteMuteFile(true);
    const std::string broken[] = {"", "on", "yes\n", "ON\n", "on\n\n", std::string("on\n\0", 4),
                                  std::string(100000, 'o')};
    for (const std::string& text : broken) {
        WriteFile(path, text);
        EXPECT_FALSE(ReadMuteFile()) << text.substr(0, 20);
        EXPECT_EQ("APP.message: Ignoring " + path + ": it says neither on nor off\n", LogLines());
    }
}

TEST_F(MuteFile, AFileThatCannotBeWrittenIsGivenUpWithOneLogLine) {
    WriteFile(scratch.File("state"), "a file where the folder should be");
    WriteMuteFile(true);
    EXPECT_EQ("APP.message: Cannot keep the mute choice in " + path + ": Not a directory\n", LogLines());
    EXPECT_FALSE(ReadMuteFile());
}

}  // namespace
