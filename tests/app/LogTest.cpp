#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "app/Log.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::ScratchDir;

// Runs the test body inside a scratch folder, where Log.txt is written.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The forked child must inherit the scratch folder as its working directory.
        GTEST_FLAG_SET(death_test_style, "fast");
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        previousDir = buffer;
        ASSERT_EQ(chdir(scratch.Path().c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(previousDir.c_str()), 0); }

    std::string LogFile() const { return ReadFile(scratch.File("Log.txt")); }

    ScratchDir scratch;
    std::string previousDir;
};

TEST_F(LogTest, MessageLineGoesToConsoleAndFile) {
    ::testing::internal::CaptureStdout();
    LogMessage("Loading Graphic Engine...", "GE");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "GE.message: Loading Graphic Engine...\n");
    EXPECT_EQ(LogFile(), "GE.message: Loading Graphic Engine...\n");
}

TEST_F(LogTest, EmptyTextLeavesTagAndInfixAlone) {
    ::testing::internal::CaptureStdout();
    LogMessage("", "SE");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "SE.message: \n");
    EXPECT_EQ(LogFile(), "SE.message: \n");
}

TEST_F(LogTest, LinesAppendAndAreNeverTruncated) {
    testsupport::WriteFile(scratch.File("Log.txt"), "an earlier run\n");
    ::testing::internal::CaptureStdout();
    LogMessage("first", "GE");
    LogMessage("second", "SE");
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(LogFile(), "an earlier run\nGE.message: first\nSE.message: second\n");
}

TEST_F(LogTest, ErrorEndsProcessWithCodeOneAndIsLastLine) {
    ::testing::internal::CaptureStdout();
    LogMessage("before", "GE");
    ::testing::internal::GetCapturedStdout();
    EXPECT_EXIT(LogError("Cannot open texture file", "GE"), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(LogFile(), "GE.message: before\nGE.error: Cannot open texture file\n");
}

TEST_F(LogTest, TwoRunsLeaveBothRunsLinesInOrder) {
    EXPECT_EXIT(LogError("first run", "SE"), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(LogError("second run", "SE"), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(LogFile(), "SE.error: first run\nSE.error: second run\n");
}

TEST_F(LogTest, UnwritableLogFileIsIgnored) {
    ASSERT_EQ(mkdir(scratch.File("Log.txt").c_str(), 0755), 0);
    ::testing::internal::CaptureStdout();
    LogMessage("still on the console", "GE");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "GE.message: still on the console\n");
    EXPECT_EXIT(LogError("fatal anyway", "GE"), ::testing::ExitedWithCode(1), "");
}

}  // namespace
