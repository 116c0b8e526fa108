#include <gtest/gtest.h>

#include <map>
#include <set>

#include "game/Draw.h"
#include "game/Random.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "tests/game/GameDriver.h"
#include "tests/gles2/EsSurface.h"
#include "tests/gles2/SideBySide.h"

using sidebyside::DrawList;

namespace {

bool AtAPlace(const GameState& state) {
    const EncounterType type = state.slots[state.stage].type;
    return type == EncounterType::WizardShop || type == EncounterType::Forge ||
           type == EncounterType::MercenaryCamp;
}

// Frames of a whole game as the game draws them: the title, then the hero
// attacks every monster, tries the first button of every place and leaves
// it, and dismisses every message, until he dies and the game-over screen
// shows. Every seventh tick's frame is kept.
std::vector<std::pair<ScreenState, DrawList>> PlayedFrames(unsigned seed) {
    FixRandomSeed(seed);
    gametest::GameDriver driver;
    std::vector<std::pair<ScreenState, DrawList>> frames;
    const auto keep = [&] {
        testsupport::RecordingGraphicEngine recorder;
        ge::ZGraphicEngineAdapter adapter(&recorder, 0, 0, gltest::windowWidth,
                                          gltest::windowHeight);
        adapter.BeginFrame();
        adapter.Clear(0.0f, 0.0f, 0.0f);
        DrawGame(driver.state, adapter, driver.adapter);
        adapter.EndFrame();
        frames.emplace_back(driver.state.screen, recorder.calls);
    };
    keep();
    driver.ClickAt(160, 120);
    for (int tick = 0; tick < 20000 && driver.state.screen != ScreenState::GameOver; ++tick) {
        if (driver.state.screen == ScreenState::InEncounter) {
            if (driver.state.messages.IsEmpty()) {
                driver.ClickButton(AtAPlace(driver.state) && tick % 2 == 0 ? 2 : 0);
            } else {
                driver.Dismiss();
            }
        } else {
            driver.Tick();
        }
        if (tick % 7 == 0) {
            keep();
        }
    }
    keep();
    return frames;
}

class GameFrames : public testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_DISPLAY(); }
};

// The renderers draw every screen of a played game alike, pixel for pixel.
TEST_F(GameFrames, EveryScreenOfAGameIsDrawnAlike) {
    const auto frames = PlayedFrames(7);
    std::vector<DrawList> lists;
    std::set<ScreenState> screens;
    for (const auto& frame : frames) {
        screens.insert(frame.first);
        lists.push_back(frame.second);
    }
    ASSERT_EQ(7u, screens.size()) << "the game did not reach every screen";

    const auto art = sidebyside::GameArt();
    const auto expected = sidebyside::DrawWithOpenGL(art, lists);
    const auto actual = sidebyside::DrawWithGLES2(art, lists);
    ASSERT_EQ(lists.size(), expected.size()) << "the OpenGL 1.1 window never drew";
    ASSERT_EQ(lists.size(), actual.size()) << "no OpenGL ES 2.0 context";
    int differing = 0;
    for (size_t i = 0; i < lists.size(); ++i) {
        const auto difference = sidebyside::Compare(expected[i], actual[i]);
        if (difference.pixels > 0 && differing++ < 5) {
            ADD_FAILURE() << "frame " << i << " (screen "
                          << static_cast<int>(frames[i].first)
                          << "): " << sidebyside::Describe(difference);
        }
    }
    EXPECT_EQ(0, differing) << "of " << lists.size() << " frames, with " << estest::EsVersion();
}

}  // namespace
