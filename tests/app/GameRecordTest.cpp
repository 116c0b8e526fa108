#include "app/GameRecord.h"

#include <gtest/gtest.h>

#include "app/Globals.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ie/ZInputEngineAdapter.h"
#include "tests/game/DrawTestFixture.h"
#include "tests/game/GameDriver.h"

namespace {

TEST(GameRecord, CreateGamePublishesTheRecord) {
    GameState* const created = CreateGame();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(game, created);
    EXPECT_EQ(created->hp, 100);
    EXPECT_EQ(created->screen, ScreenState::Title);
    delete created;
    game = nullptr;
}

TEST(GameRecord, ParseSeedTakesDecimalDigitsUpToTheLargestUnsigned) {
    const struct {
        const char* text;
        bool taken;
        unsigned seed;
    } cases[] = {
        // text                   taken  seed (7: untouched)
        {"0",                     true,  0},
        {"13",                    true,  13},
        {"00042",                 true,  42},
        {"4294967295",            true,  4294967295u},
        {"4294967296",            false, 7},
        {"99999999999999999999",  false, 7},
        {"",                      false, 7},
        {"-1",                    false, 7},
        {"+1",                    false, 7},
        {" 1",                    false, 7},
        {"1 ",                    false, 7},
        {"12a",                   false, 7},
        {"0x10",                  false, 7},
    };
    for (const auto& c : cases) {
        unsigned seed = 7;
        EXPECT_EQ(ParseSeed(c.text, seed), c.taken) << '"' << c.text << '"';
        EXPECT_EQ(seed, c.seed) << '"' << c.text << '"';
    }
}

TEST(GameRecord, TickRunsOnTheSharedRecordAndAdapterAndNeverAsksToStop) {
    EXPECT_TRUE(UpdateGame()) << "nothing created yet";
    gametest::FakePointer pointer;
    ie::ZInputEngineAdapter adapter(&pointer);
    adapter.SetMouseArea(0, 0, 640, 480, false);
    GameState state;
    game = &state;
    inputAdapter = &adapter;
    pointer.SetLeft(true);
    adapter.Update();
    EXPECT_TRUE(UpdateGame());
    EXPECT_EQ(state.screen, ScreenState::WorldIntro);
    for (int tick = 0; tick < 500; tick++) {
        adapter.Update();
        ASSERT_TRUE(UpdateGame());
    }
    EXPECT_NE(state.stage, 0);
    game = nullptr;
    inputAdapter = nullptr;
}

}  // namespace

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
    state.messages.PushMessage(Message{TextKey::LevelUp, {}});
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
