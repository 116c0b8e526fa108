#include <algorithm>

#include "tests/game/DrawTestFixture.h"
#include "tests/game/GameDriver.h"

namespace drawtest {
namespace {

using Lines = std::vector<std::string>;

class DrawPopupTest : public DrawTest {
protected:
    DrawPopupTest() {
        state.screen = ScreenState::Travel;
        state.timer = 60;
    }

    // What follows the hero (and, in an encounter, the panel content).
    Lines After(const std::string& line) {
        const Lines lines = Draw();
        const size_t at = IndexOf(lines, line);
        if (at == lines.size()) {
            return {"missing " + line};
        }
        return Lines(lines.begin() + static_cast<long>(at) + 1, lines.end());
    }

    Lines AfterWalkingHero() { return After(Quad({24, 172, 24, 32}, Creature(0, 0, 0))); }

    Lines MessageBox(const std::string& text, const Lines& okButton) {
        Lines lines = {Bind(5), Quad({59, 79, 202, 82}, solid), Quad({60, 80, 200, 80}, panel),
                       Text(160, 85, text)};
        lines.insert(lines.end(), okButton.begin(), okButton.end());
        lines.push_back(Text(160, 133, "OK"));
        return lines;
    }
};

const Lines okLit = {Quad({140, 130, 40, 20}, solid), Quad({141, 131, 38, 18}, panel)};

TEST_F(DrawPopupTest, GainsShowGreenWithAPlusAndLossesRedWithAMinus) {
    state.popups.push_back(StatPopup{50, 35, 0, 100});
    state.popups.push_back(StatPopup{160, 105, -10, 60});
    state.popups.push_back(StatPopup{230, 35, 120, 100});
    const Lines expected = {Text(55, 35, "+0", green), Text(165, 97, "-10", red),
                            Text(235, 35, "+120", green)};
    EXPECT_EQ(AfterWalkingHero(), expected);
}

TEST_F(DrawPopupTest, APopupRisesForTwentyFiveFramesThenIsDropped) {
    state.popups.push_back(StatPopup{230, 35, -20, popupLife});
    for (int frame = 0; frame < 24; frame++) {
        const Lines lines = AfterWalkingHero();
        ASSERT_EQ(lines.size(), 1u) << "frame " << frame;
        EXPECT_EQ(lines[0], Text(235, 35.0f - 0.8f * static_cast<float>(frame), "-20", red));
        ASSERT_EQ(state.popups.size(), 1u) << "frame " << frame;
        EXPECT_EQ(state.popups[0].life, 96 - 4 * frame);
    }
    EXPECT_EQ(AfterWalkingHero(), (Lines{Text(235, 35.0f - 0.8f * 24.0f, "-20", red)}));
    EXPECT_TRUE(state.popups.empty());
    EXPECT_TRUE(AfterWalkingHero().empty());
}

TEST_F(DrawPopupTest, SpentPopupsAreSkippedAndDroppedTheLiveOnesKeepTheirOrder) {
    state.popups.push_back(StatPopup{50, 35, 5, 0});
    state.popups.push_back(StatPopup{290, 35, 2, 8});
    state.popups.push_back(StatPopup{110, 35, 1, -3});
    state.popups.push_back(StatPopup{170, 35, 1, 4});
    state.popups.push_back(StatPopup{230, 35, 3, 12});
    EXPECT_EQ(AfterWalkingHero(), (Lines{Text(295, 35.0f - 18.4f, "+2", green),
                                         Text(175, 35.0f - 19.2f, "+1", green),
                                         Text(235, 35.0f - 17.6f, "+3", green)}));
    ASSERT_EQ(state.popups.size(), 2u);
    EXPECT_EQ(state.popups[0].value, 2);
    EXPECT_EQ(state.popups[0].life, 4);
    EXPECT_EQ(state.popups[1].value, 3);
    EXPECT_EQ(state.popups[1].life, 8);
}

// Through the rules, a frame drawn each tick: an endless fight, a blow every
// other tick, two popups a blow. Each popup lives 25 frames, so after any
// frame the list holds exactly the 24 added in the last 24 ticks.
TEST(PopupBound, AnEndlessFightHoldsOnlyThePopupsStillRising) {
    gametest::GameDriver driver;
    driver.StandAt(1, MakeEncounter(EncounterType::Golem, 1000000, 0, 0, 0, "Голем", "Камень"));
    testsupport::RecordingGraphicEngine graphics;
    const auto drawFrame = [&] {
        graphics.Reset();
        DrawGame(driver.state, graphics, driver.adapter);
    };
    size_t most = 0;
    for (int blow = 0; blow < 1000; blow++) {
        driver.PressAt(80, 155);
        drawFrame();
        driver.ReleaseAt(80, 155);
        drawFrame();
        most = std::max(most, driver.state.popups.size());
    }
    EXPECT_EQ(driver.state.slots[1].hp, 1000000 - 1000 * 10);
    EXPECT_EQ(most, 24u);
    EXPECT_EQ(driver.state.popups.size(), 24u);
}

TEST_F(DrawPopupTest, MessageBoxComesLastAfterPopups) {
    state.popups.push_back(StatPopup{290, 35, 1, 100});
    state.messages.PushMessage(Message{TextKey::DiceLost, {}});
    state.messages.PushMessage(Message{TextKey::DiceWon, {}});
    Lines expected = {Text(295, 35, "+1", green)};
    const Lines box = MessageBox(Cp1251("Ты проиграл :("), {});
    expected.insert(expected.end(), box.begin(), box.end());
    EXPECT_EQ(AfterWalkingHero(), expected);
}

TEST_F(DrawPopupTest, OkButtonLightsUpInsideItsAreaBordersIncluded) {
    state.messages.PushMessage(Message{TextKey::LevelUp, {}});
    const int inside[][2] = {{280, 260}, {359, 299}, {281, 261}};
    for (const auto& pointer : inside) {
        input.x = pointer[0];
        input.y = pointer[1];
        EXPECT_EQ(AfterWalkingHero(), MessageBox("Level UP!", okLit))
            << pointer[0] << "," << pointer[1];
    }
    const int outside[][2] = {{360, 299}, {280, 300}, {279, 260}, {280, 259}, {-1, -1}};
    for (const auto& pointer : outside) {
        input.x = pointer[0];
        input.y = pointer[1];
        EXPECT_EQ(AfterWalkingHero(), MessageBox("Level UP!", {}))
            << pointer[0] << "," << pointer[1];
    }
}

TEST_F(DrawPopupTest, HeldOkButtonShowsThePressedOverlay) {
    state.messages.PushMessage(Message{TextKey::LevelUp, {}});
    input.x = 300;
    input.y = 270;
    input.leftDown = true;
    Lines pressed = okLit;
    pressed.push_back(Quad({141, 131, 38, 18}, solid, pressedShade));
    EXPECT_EQ(AfterWalkingHero(), MessageBox("Level UP!", pressed));
}

TEST_F(DrawPopupTest, MessageInAnEncounterIsDrawnOverThePanelAndItsHighlight) {
    state.screen = ScreenState::InEncounter;
    state.stage = 1;
    state.slots[1] = MakeEncounter(EncounterType::Slime, 0, 6, 1, 0, "Слизень", "Мокрый");
    state.popups.push_back(StatPopup{160, 105, -10, 100});
    const std::string victory = Cp1251("Монстр повержен и\nты получил 7EXP и $20");
    state.messages.PushMessage(Message{TextKey::MonsterDefeated, {7, 20}});
    input.x = 300;
    input.y = 270;
    Lines expected = {
        Bind(5),
        Quad({122, 130, 76, 30}, solid),
        Quad({123, 131, 74, 28}, panel),
        Bind(6),
        Quad({130, 100, 20, 20}, hpIconUv),
        Text(160, 105, "0"),
        Quad({190, 100, 20, 20}, attackIconUv),
        Text(220, 105, "6"),
        Text(80, 132, Cp1251("Атаковать\nврага!")),
        Text(160, 132, Cp1251("Выпить\nзелье")),
        Text(240, 132, Cp1251("Сбежать")),
        Text(165, 105, "-10", red),
    };
    const Lines box = MessageBox(victory, okLit);
    expected.insert(expected.end(), box.begin(), box.end());
    EXPECT_EQ(After(Text(175, 80, Cp1251("Мокрый"))), expected);
}

}  // namespace
}  // namespace drawtest
