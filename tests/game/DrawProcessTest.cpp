#include "app/Globals.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ie/ZInputEngineAdapter.h"
#include "tests/game/DrawTestFixture.h"

namespace drawtest {
namespace {

// The frame the window draws: the process-wide record, drawn through the
// virtual-screen adapter, lit by the pointer of the input adapter.
class DrawProcessTest : public ::testing::Test {
protected:
    DrawProcessTest() : screen(&renderer, 0, 0, 640, 480), pointer(&input) {
        pointer.SetMouseArea(0, 0, 640, 480, false);
        game = &state;
        graphicAdapter = &screen;
        inputAdapter = &pointer;
    }

    ~DrawProcessTest() override {
        game = nullptr;
        graphicAdapter = nullptr;
        inputAdapter = nullptr;
    }

    GameState state;
    testsupport::RecordingGraphicEngine renderer;
    ge::ZGraphicEngineAdapter screen;
    FakeInput input;
    ie::ZInputEngineAdapter pointer;
};

TEST_F(DrawProcessTest, DrawsTheProcessRecordOnTheVirtualScreenWithThePointerOfTheAdapter) {
    state.screen = ScreenState::Depart;
    state.stage = 3;
    state.timer = 100;
    state.messages.PushMessage("Level UP!");
    input.x = 300;
    input.y = 270;
    pointer.Update();

    DrawGame();

    EXPECT_EQ(state.animFrame, 1);
    const std::vector<std::string> lines = Describe(renderer);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], Bind(10));
    EXPECT_EQ(lines[1], Quad({96, 68, 320, 160}, whole));
    const std::vector<std::string> tail(lines.end() - 4, lines.end());
    const std::vector<std::string> okLit = {
        Text(256, 93, "Level UP!"),
        Quad({236, 138, 40, 20}, solid),
        Quad({237, 139, 38, 18}, panel),
        Text(256, 141, "OK"),
    };
    EXPECT_EQ(tail, okLit);
}

}  // namespace
}  // namespace drawtest
