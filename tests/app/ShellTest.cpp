#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ArtFiles.h"
#include "app/Globals.h"
#include "app/Shell.h"
#include "app/web/FrameClock.h"
#include "game/GameState.h"
#include "ge/TextureLoader.h"
#include "tests/support/RecordingGraphicEngine.h"

namespace {

// Input with nothing pressed, counting its latches.
class StillInput final : public ie::XInputEngine {
public:
    void Update() override { ++updates; }
    bool KeyChanged(uint32_t, bool, bool) override { return false; }
    bool KeyWasDown(uint32_t) override { return false; }
    bool KeyIsDown(uint32_t) override { return false; }
    int MouseX() override { return 0; }
    int MouseY() override { return 0; }
    bool ButtonChanged(uint32_t, bool, bool) override { return false; }
    bool ButtonWasDown(uint32_t) override { return false; }
    bool ButtonIsDown(uint32_t) override { return false; }

    int updates = 0;
};

class SlotJournal final : public ge::XTextureStore {
public:
    void UploadTexture(int slot, const ge::TextureImage&) override { slots.push_back(slot); }

    std::vector<int> slots;
};

// A shell's engines that write down each hook called, in order; the
// destroying ones also on standard error, for the shutdown's death test.
class JournalEngines final : public XShellEngines {
public:
    ie::XInputEngine* CreateInput() override {
        Note("create input");
        return &input;
    }
    ShellRenderer CreateGraphics() override {
        Note("create graphics");
        return {&renderer, &textures};
    }
    void CreateSound() override { Note("create sound"); }
    void UpdateSound() override { Note("update sound"); }
    void DestroyGraphics() override { NoteOnStderr("destroy graphics"); }
    void DestroyInput() override { NoteOnStderr("destroy input"); }
    void DestroySound() override { NoteOnStderr("destroy sound"); }

    std::vector<std::string> calls;
    StillInput input;
    testsupport::RecordingGraphicEngine renderer;
    SlotJournal textures;

private:
    void Note(const char* call) { calls.push_back(call); }
    void NoteOnStderr(const char* call) {
        Note(call);
        std::fprintf(stderr, "%s\n", call);
    }
};

std::vector<int> ArtSlotsInLoadingOrder() {
    std::vector<int> slots = {fontArt.slot};
    for (int i = 0; i < otherArtCount; ++i) {
        slots.push_back(otherArt[i].slot);
    }
    return slots;
}

// Runs in a folder beside a link to the build's art, so that the art's
// ../gfx/ paths reach it.
class Shell : public testing::Test {
protected:
    void SetUp() override {
        static_cast<void>(symlink(DUNMARK_GFX_DIR, "gfx"));
        mkdir("run", 0755);
        ASSERT_EQ(0, chdir("run"));
    }
    void TearDown() override { ASSERT_EQ(0, chdir("..")); }

    using Calls = std::vector<std::string>;
    JournalEngines engines;
    ShellStartup startup;
};

// Starting an engine destroys the one before it, if any: none at start-up.
TEST_F(Shell, StartUpTakesOneStageAFrame) {
    startup.Step(engines);
    const Calls firstFrame = {"destroy input", "create input", "destroy graphics",
                              "create graphics"};
    EXPECT_EQ(firstFrame, engines.calls);
    EXPECT_EQ(ArtSlotsInLoadingOrder(), engines.textures.slots) << "the font first, then the art";
    EXPECT_EQ("Loading...", engines.renderer.TextsDrawn());
    EXPECT_FALSE(startup.Done());
    EXPECT_EQ(nullptr, game);

    startup.Step(engines);
    Calls bothFrames = firstFrame;
    bothFrames.push_back("create sound");
    EXPECT_EQ(bothFrames, engines.calls);
    EXPECT_NE(nullptr, game);
    EXPECT_TRUE(startup.Done());
}

TEST_F(Shell, GraphicsStartedAgainReplaceTheRendererAndReloadTheArt) {
    startup.Step(engines);
    startup.Step(engines);
    engines.calls.clear();
    engines.textures.slots.clear();
    StartGraphics(engines);
    EXPECT_EQ((Calls{"destroy graphics", "create graphics"}), engines.calls);
    EXPECT_EQ(ArtSlotsInLoadingOrder(), engines.textures.slots);
}

TEST_F(Shell, EachTickLatchesInputRunsTheRulesAndThenTheSoundEnginesPart) {
    startup.Step(engines);
    startup.Step(engines);
    engines.calls.clear();
    const int ticks = 3;
    for (int i = 0; i < ticks; ++i) {
        EXPECT_TRUE(TickGame(engines));
    }
    EXPECT_EQ(ticks, engines.input.updates);
    EXPECT_EQ(Calls(ticks, "update sound"), engines.calls);
}

// Browser frames every period, the even ones `jitter` early and the odd ones
// late: the ticks, the frames drawn for real, the animation's steps.
struct Pace {
    int ticks = 0;
    int shownFrames = 0;
    int animationSteps = 0;
};

const uint64_t second = 1000000u;

Pace RunFrames(JournalEngines& engines, FrameClock& clock, uint64_t start, uint64_t period,
               int frames, int64_t jitter = 0, bool shown = true) {
    Pace pace;
    for (int i = 0; i < frames; ++i) {
        const int32_t animBefore = game->animFrame;
        const int ticksBefore = engines.input.updates;
        engines.renderer.Reset();
        EXPECT_TRUE(RunTicks(engines, clock.TicksDue(start + i * period + (i % 2 ? jitter : -jitter)),
                             shown));
        pace.ticks += engines.input.updates - ticksBefore;
        pace.shownFrames += engines.renderer.CountOf(testsupport::GraphicCallKind::BeginFrame);
        pace.animationSteps += (game->animFrame - animBefore + 128) % 128;
    }
    return pace;
}

// Ten seconds at each display rate, both ends included, hold 601 ticks; each
// tick draws once, and each frame with a tick is shown once, unless the
// frames are not shown (the browser's context lost).
TEST_F(Shell, EveryDisplayRateKeepsSixtyTicksAndSixtyAnimationStepsASecond) {
    startup.Step(engines);
    startup.Step(engines);
    const struct { uint64_t framesPerSecond; int64_t jitter; bool shown; } rates[] = {
        {4, 10000, true}, {8, 0, true}, {10, 0, true}, {14, 0, true}, {30, 0, true},
        {60, 0, true}, {144, 0, true}, {1000, 0, true}, {10, 0, false}};
    for (const auto& rate : rates) {
        FrameClock clock;
        const int frames = static_cast<int>(rate.framesPerSecond * 10) + 1;
        const Pace pace = RunFrames(engines, clock, 7 * second, second / rate.framesPerSecond,
                                    frames, rate.jitter, rate.shown);
        EXPECT_NEAR(601, pace.ticks, 1) << rate.framesPerSecond << " frames a second";
        EXPECT_EQ(pace.ticks, pace.animationSteps) << rate.framesPerSecond;
        EXPECT_EQ(rate.shown ? std::min(frames, pace.ticks) : 0, pace.shownFrames)
            << rate.framesPerSecond;
        EXPECT_EQ(1, clock.Restarts()) << rate.framesPerSecond;
    }
}

TEST_F(Shell, InputStartedAgainReplacesTheEngineBehindTheAdapter) {
    startup.Step(engines);
    engines.calls.clear();
    StartInput(engines);
    EXPECT_EQ((Calls{"destroy input", "create input"}), engines.calls);
    inputAdapter->Update();
    EXPECT_EQ(1, engines.input.updates);
}

TEST_F(Shell, EndingDestroysTheRendererThenInputThenSoundAndExitsWithZero) {
    startup.Step(engines);
    startup.Step(engines);
    EXPECT_EXIT(EndProgram(engines), testing::ExitedWithCode(0),
                "destroy graphics\ndestroy input\ndestroy sound\n");
}

}  // namespace
