#include "tests/game/DrawTestFixture.h"

namespace drawtest {
namespace {

using Lines = std::vector<std::string>;

Lines RoadAndMarks() {
    Lines lines = {Bind(5)};
    for (int x = 20; x <= 290; x += 10) {
        lines.push_back(Quad({static_cast<float>(x), 200, 5, 4}, solid));
    }
    lines.push_back(Bind(6));
    for (int x = 50; x <= 250; x += 40) {
        lines.push_back(Quad({static_cast<float>(x), 192, 20, 20}, markerUv));
    }
    lines.push_back(Quad({280, 172, 40, 40}, castleUv));
    return lines;
}

class DrawWorldTest : public DrawTest {
protected:
    DrawWorldTest() {
        state.screen = ScreenState::Travel;
        state.timer = 100;
    }

    // The x of the hero's quad in the frame just drawn (-1 if none).
    float HeroX() const {
        bool creatures = false;
        for (const testsupport::GraphicCall& call : graphics.calls) {
            if (call.kind == testsupport::GraphicCallKind::BindTexture) {
                creatures = call.slot == 7;
            } else if (creatures && call.kind == testsupport::GraphicCallKind::DrawQuad) {
                return call.quad.vertices[0].x;
            }
        }
        return -1.0f;
    }

    int TerrainSlot() {
        Draw();
        return graphics.calls.at(0).slot;
    }
};

TEST_F(DrawWorldTest, NewGameWalkDrawsTerrainRoadMarksHudAndHeroInOrder) {
    NextFrameAt(40);
    Lines expected = {Bind(10), Quad({0, 60, 320, 160}, whole)};
    const Lines road = RoadAndMarks();
    expected.insert(expected.end(), road.begin(), road.end());
    const Lines hud = {
        Text(160, 10, "World 1-0  LVL 1  EXP 0/10"),
        Quad({15, 30, 20, 20}, hpIconUv),      Text(50, 35, "100"),
        Quad({75, 30, 20, 20}, attackIconUv),  Text(110, 35, "10"),
        Quad({135, 30, 20, 20}, defenceIconUv), Text(170, 35, "3"),
        Quad({195, 30, 20, 20}, goldIconUv),   Text(230, 35, "100"),
        Quad({255, 30, 20, 20}, potionIconUv), Text(290, 35, "3"),
        Bind(7),
        Quad({8, 172, 24, 32}, Creature(0, 0, 1)),
    };
    expected.insert(expected.end(), hud.begin(), hud.end());
    EXPECT_EQ(Draw(), expected);
}

TEST_F(DrawWorldTest, HudShowsEffectiveAttackAndDefenceAndTheExperienceNeeded) {
    state.world = 12;
    state.stage = 5;
    state.level = 7;
    state.exp = 65;
    state.attack = 9;
    state.defence = 4;
    state.hp = 0;
    state.gold = -40;
    state.potions = 12;
    const Lines lines = Draw();
    const Lines values = {Text(50, 35, "0"), Text(110, 35, "51"), Text(170, 35, "18"),
                          Text(230, 35, "-40"), Text(290, 35, "12")};
    EXPECT_NE(IndexOf(lines, Text(160, 10, "World 12-5  LVL 7  EXP 65/70")), lines.size());
    for (const std::string& value : values) {
        EXPECT_NE(IndexOf(lines, value), lines.size()) << value;
    }
}

TEST_F(DrawWorldTest, HudLineKeepsEveryDigitOfHugeNumbers) {
    state.world = 2000000000;
    state.stage = 7;
    state.level = 200000000;
    state.exp = -1999999999;
    Draw();
    EXPECT_EQ(graphics.CallsOf(testsupport::GraphicCallKind::DrawText).at(0).text,
              "World 2000000000-7  LVL 200000000  EXP -1999999999/2000000000");
}

TEST_F(DrawWorldTest, TerrainFollowsTheWorldInACycleOfSeven) {
    const int32_t worlds[] = {1, 2, 7, 8, 14, 15, 20};
    const int slots[] = {10, 11, 16, 10, 16, 10, 15};
    for (int i = 0; i < 7; i++) {
        state.world = worlds[i];
        EXPECT_EQ(TerrainSlot(), slots[i]) << "world " << worlds[i];
        EXPECT_EQ(graphics.calls.at(0).kind, testsupport::GraphicCallKind::BindTexture);
    }
}

TEST_F(DrawWorldTest, WalkingHeroMovesInWholePixelsFromStandPointToStandPoint) {
    const int32_t timers[] = {100, 99, 97, 50, 0};
    const float xs[] = {8, 8, 9, 28, 48};
    for (int i = 0; i < 5; i++) {
        state.timer = timers[i];
        Draw();
        EXPECT_EQ(HeroX(), xs[i]) << "timer " << timers[i];
    }
    state.stage = 3;
    state.timer = 50;
    Draw();
    EXPECT_EQ(HeroX(), 148.0f);
}

TEST_F(DrawWorldTest, WalkingHeroAnimatesButTheStandingHeroKeepsOneCell) {
    NextFrameAt(70);
    const Lines walking = Draw();
    EXPECT_NE(IndexOf(walking, Quad({8, 172, 24, 32}, Creature(0, 0, 2))), walking.size());

    state.stage = 2;
    const ScreenState still[] = {ScreenState::Arrive, ScreenState::InEncounter,
                                 ScreenState::Depart};
    for (ScreenState screen : still) {
        state.screen = screen;
        for (int32_t frame : {1, 40, 70}) {
            NextFrameAt(frame);
            const Lines lines = Draw();
            EXPECT_NE(IndexOf(lines, Quad({88, 172, 24, 32}, Creature(0, 1, 1))), lines.size())
                << "screen " << static_cast<int>(screen) << " animFrame " << frame;
        }
    }
}

TEST_F(DrawWorldTest, ArrivingPanelAtHalfScaleStandsBetweenHeroAndFullPanel) {
    state.screen = ScreenState::Arrive;
    state.stage = 1;
    state.timer = 50;
    const Lines expected = {Bind(5), Quad({49, 127.5f, 122, 62}, solid),
                            Quad({50, 128.5f, 120, 60}, panel)};
    const Lines lines = Draw();
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()), expected);
}

TEST_F(DrawWorldTest, PanelAtScaleZeroIsATwoPixelFrameOverTheHero) {
    state.screen = ScreenState::Arrive;
    state.stage = 1;
    state.timer = 100;
    const Lines lines = Draw();
    const Lines expected = {Quad({59, 201, 2, 2}, solid), Quad({60, 202, 0, 0}, panel)};
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), expected);
}

TEST_F(DrawWorldTest, DepartingPanelShrinksTowardTheStandPoint) {
    state.screen = ScreenState::Depart;
    state.stage = 7;
    state.timer = 100;
    Lines lines = Draw();
    EXPECT_EQ(lines.back(), Quad({40, 55, 240, 120}, panel));
    state.timer = 25;
    lines = Draw();
    EXPECT_EQ(lines.back(), Quad({235, 165.25f, 60, 30}, panel));
    EXPECT_EQ(lines.at(lines.size() - 2), Quad({234, 164.25f, 62, 32}, solid));
}

TEST_F(DrawWorldTest, ArriveAndDepartShowNoEncounterContent) {
    state.stage = 1;
    state.slots[1] = MakeEncounter(EncounterType::Slime, 20, 6, 1, 0, "Слизень", "Мокрый");
    input.x = 84;
    input.y = 260;
    for (ScreenState screen : {ScreenState::Arrive, ScreenState::Depart}) {
        state.screen = screen;
        state.timer = 40;
        Draw();
        EXPECT_EQ(graphics.TextsDrawn().find(Cp1251("Слизень")), std::string::npos);
        EXPECT_EQ(graphics.CountOf(testsupport::GraphicCallKind::DrawQuad), 1 + 28 + 7 + 5 + 1 + 2);
    }
}

}  // namespace
}  // namespace drawtest
