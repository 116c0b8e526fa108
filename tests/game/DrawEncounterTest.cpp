#include "tests/game/DrawTestFixture.h"

namespace drawtest {
namespace {

using Lines = std::vector<std::string>;

const Area leftFrame{42, 130, 76, 30};
const Area leftFace{43, 131, 74, 28};

class DrawEncounterTest : public DrawTest {
protected:
    DrawEncounterTest() {
        state.screen = ScreenState::InEncounter;
        state.timer = 100;
        state.stage = 2;
        state.slots[2] = MakeEncounter(EncounterType::Skeleton, 45, 12, 1, 2, "Скелет",
                                       "Гремит костями\nи не спит");
    }

    // Everything after the full panel's face.
    Lines Content() {
        const Lines lines = Draw();
        const size_t face = IndexOf(lines, Quad({40, 55, 240, 120}, panel));
        if (face == lines.size()) {
            return {"no panel"};
        }
        return Lines(lines.begin() + static_cast<long>(face) + 1, lines.end());
    }

    // The quads drawn for button highlights: between the interface sheet
    // bound after the description and the next bind or text.
    Lines Highlights() {
        const Lines content = Content();
        Lines quads;
        bool inside = false;
        for (const std::string& line : content) {
            if (line == Bind(5)) {
                inside = true;
                continue;
            }
            if (inside && line.rfind("quad", 0) != 0) {
                break;
            }
            if (inside) {
                quads.push_back(line);
            }
        }
        return quads;
    }

    void PointAt(int x, int y) {
        input.x = x;
        input.y = y;
    }
};

TEST_F(DrawEncounterTest, MonsterShowsNamePictureDescriptionStatsAndCaptions) {
    NextFrameAt(64);
    const Lines expected = {
        Text(160, 60, Cp1251("Скелет")),
        Bind(7),
        Quad({55, 80, 24, 32}, Creature(1, 2, 2)),
        Text(175, 80, Cp1251("Гремит костями\nи не спит")),
        Bind(5),
        Bind(6),
        Quad({130, 100, 20, 20}, hpIconUv),
        Text(160, 105, "45"),
        Quad({190, 100, 20, 20}, attackIconUv),
        Text(220, 105, "12"),
        Text(80, 132, Cp1251("Атаковать\nврага!")),
        Text(160, 132, Cp1251("Выпить\nзелье")),
        Text(240, 132, Cp1251("Сбежать")),
    };
    EXPECT_EQ(Content(), expected);
}

TEST_F(DrawEncounterTest, PlacesShowTheirOwnCaptionsAndNoStats) {
    struct Place {
        EncounterType type;
        const char* left;
        const char* middle;
        const char* right;
    };
    const Place places[] = {
        {EncounterType::WizardShop, "Купить\nЗелье $20", "Лечение\n$100", "Покинуть\nмагазин"},
        {EncounterType::Forge, "+1 Атака\n$100", "+1 Защита\n$100", "Покинуть\nкузницу"},
        {EncounterType::MercenaryCamp, "Тренировка\n$100", "Играть\n$10", "Покинуть\nлагерь"},
    };
    for (const Place& place : places) {
        state.slots[2] = MakeEncounter(place.type, 0, 0, 2, 1, "Место", "Здесь");
        const Lines content = Content();
        const Lines tail = {Bind(5), Text(80, 132, Cp1251(place.left)),
                            Text(160, 132, Cp1251(place.middle)),
                            Text(240, 132, Cp1251(place.right))};
        ASSERT_GE(content.size(), tail.size());
        EXPECT_EQ(Lines(content.end() - 4, content.end()), tail)
            << "type " << static_cast<int>(place.type);
        EXPECT_EQ(IndexOf(content, Bind(6)), content.size());
    }
}

TEST_F(DrawEncounterTest, DragonHasNoFleeCaptionButItsButtonStillLightsUp) {
    state.stage = 7;
    state.slots[7] = MakeEncounter(EncounterType::Dragon, 200, 20, 0, 3, "Дракон", "Огонь");
    PointAt(500, 280);
    const Lines content = Content();
    EXPECT_EQ(content.back(), Text(160, 132, Cp1251("Выпить\nзелье")));
    EXPECT_EQ(graphics.TextsDrawn().find(Cp1251("Сбежать")), std::string::npos);
    EXPECT_EQ(Highlights(), (Lines{Quad({202, 130, 76, 30}, solid),
                                   Quad({203, 131, 74, 28}, panel)}));
}

TEST_F(DrawEncounterTest, OnlyTheButtonUnderThePointerIsDrawn) {
    PointAt(0, 0);
    EXPECT_TRUE(Highlights().empty());
    PointAt(260, 280);
    EXPECT_EQ(Highlights(), (Lines{Quad({122, 130, 76, 30}, solid),
                                   Quad({123, 131, 74, 28}, panel)}));
    PointAt(420, 280);
    EXPECT_EQ(Highlights(), (Lines{Quad({202, 130, 76, 30}, solid),
                                   Quad({203, 131, 74, 28}, panel)}));
}

TEST_F(DrawEncounterTest, ButtonAreasIncludeTheLeftAndBottomRowsButNotTheGapsOrBelow) {
    const Lines left = {Quad(leftFrame, solid), Quad(leftFace, panel)};
    PointAt(84, 260);
    EXPECT_EQ(Highlights(), left);
    PointAt(236, 260);
    EXPECT_TRUE(Highlights().empty());
    PointAt(235, 318);
    EXPECT_EQ(Highlights(), left);
    PointAt(235, 320);
    EXPECT_TRUE(Highlights().empty());
    PointAt(84, 258);
    EXPECT_TRUE(Highlights().empty());
    PointAt(83, 260);
    EXPECT_TRUE(Highlights().empty());
}

TEST_F(DrawEncounterTest, HeldButtonAddsAHalfTransparentOverlayOverTheFace) {
    input.leftDown = true;
    PointAt(84, 260);
    EXPECT_EQ(Highlights(), (Lines{Quad(leftFrame, solid), Quad(leftFace, panel),
                                   Quad(leftFace, solid, pressedShade)}));
    PointAt(10, 10);
    EXPECT_TRUE(Highlights().empty());
}

TEST_F(DrawEncounterTest, PointerReadingsHalveTowardZero) {
    EXPECT_EQ(VirtualPointer(-1), 0);
    EXPECT_EQ(VirtualPointer(-3), -1);
    EXPECT_EQ(VirtualPointer(235), 117);
    EXPECT_EQ(VirtualPointer(639), 319);
    PointAt(-1, -1);
    EXPECT_TRUE(Highlights().empty());
}

}  // namespace
}  // namespace drawtest
