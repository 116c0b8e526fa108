#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/GameWindow.h"
#include "app/DesktopGlobals.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"
#include "ie/InputEngineFLTK13.h"
#include "ie/ZInputEngineAdapter.h"
#include "se/ZSoundEngineOpenAL.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;

// Which engines exist when the program is closed, and on which thread.
struct Engines {
    bool input;
    bool graphics;
    bool sound;
    bool fromOtherThread;  // the game thread's way out: no OpenGL context there
};

// Runs body once inside the draw routine of a shown OpenGL window.
class ContextWindow final : public Fl_Gl_Window {
public:
    explicit ContextWindow(std::function<void()> body)
        : Fl_Gl_Window(0, 0, gameWidth, gameHeight, "shutdown"),
          body(std::move(body)) {
        end();
    }

    void draw() override {
        if (body) {
            const std::function<void()> run = body;
            body = nullptr;
            run();
        }
    }

    bool Ran() const { return !body; }

private:
    std::function<void()> body;
};

void CreateEngines(const Engines& engines) {
    if (engines.input) {
        inputEngine = new ie::InputEngineFLTK13();
        inputAdapter = new ie::ZInputEngineAdapter(inputEngine);
    }
    if (engines.graphics) {
        graphicEngine = new ge::ZGraphicEngineOpenGL(gameWidth,
                                                     gameHeight);
    }
    if (engines.sound) {
        soundEngine = new se::ZSoundEngineOpenAL();
    }
}

void CloseNow(const Engines& engines) {
    if (engines.fromOtherThread) {
        std::thread([] { Shutdown(nullptr, nullptr); }).join();
    }
    Shutdown(nullptr, nullptr);
}

// The death test's child: the console goes to a file the parent reads
// afterwards; the engines are made, then the program is closed.
void CreateAndClose(const Engines& engines, const std::string& consoleFile) {
    if (std::freopen(consoleFile.c_str(), "w", stdout) == nullptr) {
        std::_Exit(3);
    }
    if (!engines.graphics) {
        CreateEngines(engines);
        CloseNow(engines);
    }
    // The renderer needs a current OpenGL context: make the engines inside a
    // draw, and close there too unless the close comes from another thread.
    ContextWindow* const window = new ContextWindow([&engines] {
        CreateEngines(engines);
        if (!engines.fromOtherThread) {
            CloseNow(engines);
        }
    });
    window->show();
    for (int i = 0; i < 400 && !window->Ran(); ++i) {
        Fl::wait(0.05);
    }
    if (!window->Ran()) {
        std::_Exit(4);
    }
    CloseNow(engines);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

const std::vector<std::string> graphicsUp = {
    "GE.message: Loading Graphic Engine...",
    "GE.message: Graphic Engine is ready!",
};
const std::vector<std::string> soundUp = {
    "SE.message: Start creating Sound Engine",
    "SE.message: Sound Engine is created!",
};
const std::string graphicsDown = "GE.message: Graphic Engine is destroyed.";
const std::vector<std::string> soundDown = {
    "SE.message: Killing Sound Engine...",
    "SE.message: Sound Engine is destroyed!",
};

// What the console must show: the engines' creation lines, then the
// renderer's end, then the sound engine's, then goodbye as the last line.
std::vector<std::string> ExpectedConsole(const Engines& engines) {
    std::vector<std::string> lines;
    if (engines.graphics) {
        lines.insert(lines.end(), graphicsUp.begin(), graphicsUp.end());
    }
    if (engines.sound) {
        lines.insert(lines.end(), soundUp.begin(), soundUp.end());
    }
    if (engines.graphics) {
        lines.push_back(graphicsDown);
    }
    if (engines.sound) {
        lines.insert(lines.end(), soundDown.begin(), soundDown.end());
    }
    lines.push_back("goodbye");
    return lines;
}

class ShutdownTest : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        // OpenAL Soft's own setting: a working device with no output.
        setenv("ALSOFT_DRIVERS", "null", 0);
    }

    // The child runs the test body again from the start, so the file is named
    // after the test in the working folder, the same for parent and child.
    void ExpectCleanClose(const Engines& engines) {
        const std::string console =
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
            ".console.txt";
        std::remove(console.c_str());
        EXPECT_EXIT(CreateAndClose(engines, console), ::testing::ExitedWithCode(0), "");
        EXPECT_EQ(Lines(ReadFile(console)), ExpectedConsole(engines));
    }

    void SkipWithoutDisplay() {
        const char* const display = std::getenv("DISPLAY");
        if (display == nullptr || display[0] == '\0') {
            GTEST_SKIP() << "DISPLAY is not set: no X server for an OpenGL context";
        }
    }
};

TEST_F(ShutdownTest, NothingCreatedStillSaysGoodbye) {
    ExpectCleanClose({false, false, false, false});
}

TEST_F(ShutdownTest, InputOnlyIsDestroyedQuietly) {
    ExpectCleanClose({true, false, false, false});
}

TEST_F(ShutdownTest, InputAndSoundCloseTheDeviceBeforeGoodbye) {
    ExpectCleanClose({true, false, true, false});
}

TEST_F(ShutdownTest, InputAndGraphicsAsAfterTheFirstDraw) {
    SkipWithoutDisplay();
    ExpectCleanClose({true, true, false, false});
}

TEST_F(ShutdownTest, EveryEngineRendererFirstThenSound) {
    SkipWithoutDisplay();
    ExpectCleanClose({true, true, true, false});
}

TEST_F(ShutdownTest, FromAThreadWithoutTheOpenGLContext) {
    SkipWithoutDisplay();
    ExpectCleanClose({true, true, true, true});
}

TEST_F(ShutdownTest, NoEngineOnAnotherThread) {
    ExpectCleanClose({false, false, false, true});
}

}  // namespace
