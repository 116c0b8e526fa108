#include "app/MuteFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/TestSupport.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// The state folder in a scratch home: a relative state home is ignored, as
// the launcher ignores it. A file broken or unwritable is one log line.
TEST(MuteFile, TheChoiceIsKeptInTheStateFolderAndABrokenOneIgnored) {
    testsupport::ScratchDir scratch;
    setenv("HOME", scratch.Path().c_str(), 1);
    setenv("XDG_STATE_HOME", "state", 1);
    const std::string path = scratch.File(".local/state/dunmark/mute");
    CaptureStdout();
    EXPECT_FALSE(StartsMuted(false)) << "no choice kept yet";
    for (const bool muted : {true, false}) {
        WriteMuteFile(muted);
        EXPECT_EQ(muted ? "on\n" : "off\n", testsupport::ReadFile(path));
        EXPECT_EQ(muted, StartsMuted(false));
        EXPECT_TRUE(StartsMuted(true));
    }
    EXPECT_EQ("", GetCapturedStdout());
    const std::string broken[] = {"", "on", "yes\n", "on\n\n", std::string("on\n\0", 4), "on\non\non\non\n"};
    for (const std::string& text : broken) {
        testsupport::WriteFile(path, text);
        CaptureStdout();
        EXPECT_FALSE(ReadMuteFile()) << text;
        EXPECT_EQ("APP.message: Ignoring " + path + ": it says neither on nor off\n", GetCapturedStdout());
    }
    testsupport::WriteFile(scratch.File("file"), "a file where the folder should be");
    setenv("XDG_STATE_HOME", scratch.File("file").c_str(), 1);
    CaptureStdout();
    WriteMuteFile(true);
    EXPECT_EQ("APP.message: Cannot keep the mute choice in " + scratch.File("file/dunmark/mute") +
                  ": Not a directory\n", GetCapturedStdout());
}

}  // namespace
