#include "app/MuteFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::ScratchDir;
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

    ScratchDir scratch;
    const std::string path = scratch.File("state") + "/dunmark/mute";
};

TEST_F(MuteFile, TheChoiceIsKeptInTheStateFolderAndReadBack) {
    EXPECT_EQ(path, MuteFilePath());
    EXPECT_FALSE(ReadMuteFile()) << "no choice kept yet";
    for (const bool muted : {true, false, true}) {
        WriteMuteFile(muted);
        EXPECT_EQ(muted ? "on\n" : "off\n", ReadFile(path));
        EXPECT_EQ(muted, ReadMuteFile());
    }
    EXPECT_EQ("", LogLines());
}

TEST_F(MuteFile, AnUnsetEmptyOrRelativeStateHomeMeansTheOneUnderHome) {
    const std::string underHome = scratch.File("home") + "/.local/state/dunmark/mute";
    for (const char* state : {static_cast<const char*>(nullptr), "", "state", "./state"}) {
        if (state == nullptr) {
            unsetenv("XDG_STATE_HOME");
        } else {
            setenv("XDG_STATE_HOME", state, 1);
        }
        EXPECT_EQ(underHome, MuteFilePath()) << (state ? state : "unset");
    }
    WriteMuteFile(true);
    EXPECT_EQ("on\n", ReadFile(underHome));
}

TEST_F(MuteFile, MuteOptionWinsOverTheKeptChoice) {
    const struct {
        const char* kept;  // null: no file
        bool option;
        bool muted;
    } cases[] = {
        {nullptr, false, false}, {nullptr, true, true}, {"off\n", true, true},
        {"on\n", false, true},   {"off\n", false, false},
    };
    for (const auto& c : cases) {
        std::remove(path.c_str());
        if (c.kept != nullptr) {
            WriteMuteFile(false);
            WriteFile(path, c.kept);
        }
        EXPECT_EQ(c.muted, StartsMuted(c.option)) << (c.kept ? c.kept : "none") << c.option;
        EXPECT_EQ(c.kept ? c.kept : "", ReadFile(path)) << "the option is not kept";
    }
}

TEST_F(MuteFile, ABrokenFileIsIgnoredWithOneLogLine) {
    WriteMuteFile(true);
    LogLines();
    const std::string broken[] = {"",      "on",     "yes\n",
                                  "ON\n",  "on\n\n", "on\nmore than that",
                                  std::string("on\n\0", 4), std::string(100000, 'o')};
    for (const std::string& text : broken) {
        WriteFile(path, text);
        EXPECT_FALSE(ReadMuteFile()) << text.substr(0, 20);
        EXPECT_EQ("APP.message: Ignoring " + path + ": it says neither on nor off\n", LogLines());
    }
}

TEST_F(MuteFile, AFileThatCannotBeWrittenIsGivenUpWithOneLogLine) {
    WriteFile(scratch.File("state"), "a file where the folder should be");
    WriteMuteFile(true);
    EXPECT_EQ("APP.message: Cannot keep the mute choice in " + path + ": Not a directory\n",
              LogLines());
    EXPECT_FALSE(ReadMuteFile());
    EXPECT_EQ("", LogLines()) << "an unreadable choice is no choice";
}

}  // namespace
