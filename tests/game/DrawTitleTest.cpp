#include "tests/game/DrawTestFixture.h"

namespace drawtest {
namespace {

using Lines = std::vector<std::string>;

const std::string& Prompt() {
    static const std::string prompt = Cp1251("Кликните чтобы продолжить");
    return prompt;
}

Lines TitleLines(int frame, bool withPrompt) {
    Lines lines = {
        Bind(9),
        Quad({0, 40, 320, 160}, whole),
        Bind(5),
        Quad({40, 60, 240, 120}, panel, panelShade),
        Text(160, 5, "Dunmark"),
        Text(160, 20, Cp1251("специально для Norvik 104 - RPG II"), grey),
        Text(160, 70,
             Cp1251("Ты - храбрый рыцарь\nи ты должен вызволить принцессу\n"
                    "из замка злобного дракона!")),
        Bind(7),
        Quad({88, 115, 24, 32}, Creature(0, 1, frame)),
        Bind(7),
        Quad({148, 115, 24, 32}, Creature(0, 3, frame)),
        Bind(7),
        Quad({208, 115, 24, 32}, Creature(0, 2, frame)),
        Text(160, 155, Cp1251("В путь же, герой!")),
    };
    if (withPrompt) {
        lines.push_back(Text(160, 205, Prompt()));
    }
    return lines;
}

// The credits line is the screen's last row; its wording is free but it must
// be grey, at its place, and not empty.
void ExpectCreditsLine(const Lines& lines, const testsupport::RecordingGraphicEngine& graphics) {
    const testsupport::GraphicCall& last = graphics.calls.back();
    ASSERT_EQ(last.kind, testsupport::GraphicCallKind::DrawText) << lines.back();
    EXPECT_FALSE(last.text.empty());
    EXPECT_EQ(Text(160, 220, last.text, grey), lines.back());
}

TEST_F(DrawTest, TitleScreenDrawsEveryRowInOrderWithThePromptOnOddFrames) {
    NextFrameAt(32);
    const Lines lines = Draw();
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(Lines(lines.begin(), lines.end() - 1), TitleLines(1, true));
    ExpectCreditsLine(lines, graphics);
}

TEST_F(DrawTest, FirstFrameAfterConstructionShowsFrameZeroAndHidesThePrompt) {
    ASSERT_EQ(state.animFrame, 0);
    const Lines lines = Draw();
    EXPECT_EQ(state.animFrame, 1);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(Lines(lines.begin(), lines.end() - 1), TitleLines(0, false));
    ExpectCreditsLine(lines, graphics);
}

TEST_F(DrawTest, PromptBlinksInHalvesOfTheCycleAndFirstShowsAtFrame32) {
    int firstShown = -1;
    int shownCount = 0;
    for (int call = 0; call < 128; call++) {
        const Lines lines = Draw();
        const bool shown = IndexOf(lines, Text(160, 205, Prompt())) != lines.size();
        if (shown) {
            shownCount++;
            if (firstShown < 0) {
                firstShown = state.animFrame;
            }
        }
        const bool inShowingHalf = (state.animFrame >= 32 && state.animFrame <= 63) ||
                                   (state.animFrame >= 96 && state.animFrame <= 127);
        EXPECT_EQ(shown, inShowingHalf) << "animFrame " << state.animFrame;
    }
    EXPECT_EQ(firstShown, 32);
    EXPECT_EQ(shownCount, 64);
}

TEST_F(DrawTest, FrameIndexRunsZeroOneTwoOneOverTheCycle) {
    const int32_t frames[] = {0, 31, 32, 63, 64, 95, 96, 127};
    const int indices[] = {0, 0, 1, 1, 2, 2, 1, 1};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(AnimationFrameIndex(frames[i]), indices[i]) << "animFrame " << frames[i];
    }
}

TEST_F(DrawTest, AnimationWrapsFrom127ToZeroAndNeverDrawsFrame128) {
    state.animFrame = 127;
    const Lines lines = Draw();
    EXPECT_EQ(state.animFrame, 0);
    EXPECT_NE(IndexOf(lines, Quad({88, 115, 24, 32}, Creature(0, 1, 0))), lines.size());
    EXPECT_EQ(IndexOf(lines, Text(160, 205, Prompt())), lines.size());
    Draw();
    EXPECT_EQ(state.animFrame, 1);
}

TEST_F(DrawTest, AnimationAdvancesOncePerCallOnEveryScreen) {
    const ScreenState screens[] = {ScreenState::Title,       ScreenState::WorldIntro,
                                   ScreenState::Travel,      ScreenState::Arrive,
                                   ScreenState::InEncounter, ScreenState::Depart,
                                   ScreenState::GameOver};
    for (ScreenState screen : screens) {
        state.screen = screen;
        state.timer = 100;
        state.animFrame = 40;
        Draw();
        EXPECT_EQ(state.animFrame, 41) << "screen " << static_cast<int>(screen);
    }
}

TEST_F(DrawTest, WorldCardShowsTheWorldNumberAndTheStandingHero) {
    state.screen = ScreenState::WorldIntro;
    state.world = 3;
    NextFrameAt(70);
    const Lines expected = {
        Text(160, 90, "World 3"),
        Bind(7),
        Quad({140, 100, 24, 32}, Creature(0, 1, 2)),
        Text(170, 115, "x1"),
    };
    EXPECT_EQ(Draw(), expected);
}

TEST_F(DrawTest, WorldCardWritesEveryDigitOfAHugeWorldNumber) {
    state.screen = ScreenState::WorldIntro;
    state.world = -2147483647 - 1;
    Draw();
    EXPECT_EQ(graphics.CallsOf(testsupport::GraphicCallKind::DrawText).at(0).text,
              "World -2147483648");
}

TEST_F(DrawTest, GameOverShowsItsLineAndTheBlinkingPrompt) {
    state.screen = ScreenState::GameOver;
    NextFrameAt(96);
    EXPECT_EQ(Draw(), (Lines{Text(160, 100, "GAME OVER"), Text(160, 205, Prompt())}));
    NextFrameAt(64);
    EXPECT_EQ(Draw(), Lines{Text(160, 100, "GAME OVER")});
}

TEST_F(DrawTest, ScreensWithoutTheRoadNeitherDrawNorAgePopups) {
    state.popups.push_back(StatPopup{50, 35, -3, 100});
    const ScreenState screens[] = {ScreenState::Title, ScreenState::WorldIntro,
                                   ScreenState::GameOver};
    for (ScreenState screen : screens) {
        state.screen = screen;
        Draw();
        EXPECT_EQ(graphics.TextsDrawn().find("-3"), std::string::npos);
    }
    EXPECT_EQ(state.popups.at(0).life, 100);
}

}  // namespace
}  // namespace drawtest
