// The interface, icon and creature sheets: their grids and every cell the
// game draws from them.
#include "tests/support/TestSupport.h"
#include "tests/tools/ArtImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace arttest;

namespace {

Image LoadBmp(const std::string& file) {
    std::string problem;
    Image image = ReadBmp(testsupport::ReadFile(GfxPath(file)), problem);
    EXPECT_TRUE(image.Valid()) << file << ": " << problem;
    return image;
}

int Brightness(const uint8_t* p) {
    return (p[0] * 3 + p[1] * 6 + p[2]) / 10;
}

TEST(SystemSheet, PanelCellIsAGentleBorderlessGradient) {
    const Image sheet = LoadBmp("system.bmp");
    ASSERT_TRUE(sheet.Valid());
    ASSERT_EQ(0, sheet.width % 4);
    ASSERT_EQ(0, sheet.height % 4);
    const int w = sheet.width / 4;
    const int h = sheet.height / 4;
    for (int y = 0; y < h; y++) {
        // No border: each row of the panel is one colour across.
        for (int x = 1; x < w; x++) {
            EXPECT_EQ(sheet.Pixel(0, y), sheet.Pixel(x, y)) << "panel row " << y;
        }
        // Gentle: neighbouring rows differ by a few levels at most.
        if (y > 0) {
            for (int c = 0; c < 3; c++) {
                EXPECT_LE(std::abs(sheet.At(0, y)[c] - sheet.At(0, y - 1)[c]), 12) << "row " << y;
            }
        }
    }
    // Light text stays readable on it.
    EXPECT_LT(Brightness(sheet.At(0, 0)), 110);
    EXPECT_LT(Brightness(sheet.At(0, h - 1)), 110);
}

TEST(SystemSheet, SolidCellIsOneLightColour) {
    const Image sheet = LoadBmp("system.bmp");
    ASSERT_TRUE(sheet.Valid());
    const int w = sheet.width / 4;
    const int h = sheet.height / 4;
    const uint32_t solid = sheet.Pixel(3 * w, 0);
    for (int y = 0; y < h; y++) {
        for (int x = 3 * w; x < 4 * w; x++) {
            ASSERT_EQ(solid, sheet.Pixel(x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(Brightness(sheet.At(3 * w, 0)), 180);
}

class IconSheet : public ::testing::Test {
protected:
    void SetUp() override {
        icons = LoadBmp("icon.bmp");
        ASSERT_TRUE(icons.Valid());
        ASSERT_EQ(80, icons.width);
        ASSERT_EQ(80, icons.height);
    }
    static Cell CellAt(int column, int row, int span = 1) {
        return {column * 20, row * 20, 20 * span, 20 * span};
    }
    Image icons;
};

TEST_F(IconSheet, EveryIconTheGameDrawsIsThere) {
    EXPECT_TRUE(HasInk(icons, CellAt(0, 0))) << "attack";
    EXPECT_TRUE(HasInk(icons, CellAt(1, 0))) << "defence";
    EXPECT_TRUE(HasInk(icons, CellAt(2, 0))) << "health";
    EXPECT_TRUE(HasInk(icons, CellAt(3, 0))) << "potion";
    EXPECT_TRUE(HasInk(icons, CellAt(0, 1))) << "gold";
    EXPECT_TRUE(HasInk(icons, CellAt(0, 2))) << "road marker";
    for (const Cell& quarter : {CellAt(2, 2), CellAt(3, 2), CellAt(2, 3), CellAt(3, 3)}) {
        EXPECT_TRUE(HasInk(icons, quarter)) << "castle quarter at " << quarter.x << "," << quarter.y;
    }
    std::vector<Cell> different = {CellAt(0, 0), CellAt(1, 0), CellAt(2, 0), CellAt(3, 0),
                                   CellAt(0, 1), CellAt(0, 2)};
    for (size_t i = 0; i < different.size(); i++) {
        for (size_t j = i + 1; j < different.size(); j++) {
            EXPECT_FALSE(SamePixels(icons, different[i], different[j])) << i << " and " << j;
        }
    }
}

// The sheet is loaded with black as the transparent colour.
TEST_F(IconSheet, BackgroundIsExactBlackAndDrawingsHoldNone) {
    for (int y = 0; y < 80; y++) {
        for (int x = 0; x < 80; x++) {
            if (!icons.IsBlack(x, y)) {
                EXPECT_GE(std::max({icons.At(x, y)[0], icons.At(x, y)[1], icons.At(x, y)[2]}), 16)
                    << x << "," << y;
            }
        }
    }
    // Corners of every used cell are background, and so are the unused cells.
    for (const Cell& cell : {CellAt(0, 0), CellAt(1, 0), CellAt(2, 0), CellAt(3, 0), CellAt(0, 1),
                             CellAt(0, 2), CellAt(2, 2, 2)}) {
        EXPECT_TRUE(icons.IsBlack(cell.x, cell.y));
        EXPECT_TRUE(icons.IsBlack(cell.x + cell.w - 1, cell.y + cell.h - 1));
    }
    for (const Cell& cell : {CellAt(1, 1), CellAt(2, 1), CellAt(3, 1), CellAt(1, 2), CellAt(0, 3),
                             CellAt(1, 3)}) {
        EXPECT_FALSE(HasInk(icons, cell)) << "unused cell at " << cell.x << "," << cell.y;
    }
}

// Nothing of a drawing reaches the edge of its cell, so a cell never shows
// a sliver of its neighbour when the game scales it.
TEST_F(IconSheet, DrawingsKeepOffTheirCellEdges) {
    for (const Cell& cell : {CellAt(0, 0), CellAt(1, 0), CellAt(2, 0), CellAt(3, 0), CellAt(0, 1),
                             CellAt(0, 2), CellAt(2, 2, 2)}) {
        for (int i = 0; i < cell.w; i++) {
            EXPECT_TRUE(icons.IsBlack(cell.x + i, cell.y)) << cell.x + i << "," << cell.y;
            EXPECT_TRUE(icons.IsBlack(cell.x + i, cell.y + cell.h - 1)) << cell.x + i;
            EXPECT_TRUE(icons.IsBlack(cell.x, cell.y + i)) << cell.y + i;
            EXPECT_TRUE(icons.IsBlack(cell.x + cell.w - 1, cell.y + i)) << cell.y + i;
        }
    }
}

class CreatureSheet : public ::testing::Test {
protected:
    void SetUp() override {
        std::string problem;
        sheet = ReadPng(GfxPath("char.png"), problem);
        ASSERT_TRUE(sheet.Valid()) << problem;
        ASSERT_EQ(288, sheet.width);
        ASSERT_EQ(128, sheet.height);
    }
    static Cell Frame(int group, int row, int frame) { return {(3 * group + frame) * 24, row * 32, 24, 32}; }
    Image sheet;
};

TEST_F(CreatureSheet, EveryFrameOfEveryPictureIsDrawn) {
    for (int group = 0; group < 4; group++) {
        for (int row = 0; row < 4; row++) {
            for (int frame = 0; frame < 3; frame++) {
                EXPECT_TRUE(HasInk(sheet, Frame(group, row, frame)))
                    << "group " << group << " row " << row << " frame " << frame;
            }
        }
    }
}

// Frames play 0, 1, 2, 1: each step must show a change or the picture
// stands still.
TEST_F(CreatureSheet, AnimationFramesDiffer) {
    for (int group = 0; group < 4; group++) {
        for (int row = 0; row < 4; row++) {
            EXPECT_FALSE(SamePixels(sheet, Frame(group, row, 0), Frame(group, row, 1)))
                << "group " << group << " row " << row << ": frames 0 and 1";
            EXPECT_FALSE(SamePixels(sheet, Frame(group, row, 1), Frame(group, row, 2)))
                << "group " << group << " row " << row << ": frames 1 and 2";
        }
    }
}

TEST_F(CreatureSheet, PicturesAreDistinct) {
    for (int a = 0; a < 16; a++) {
        for (int b = a + 1; b < 16; b++) {
            EXPECT_FALSE(SamePixels(sheet, Frame(a / 4, a % 4, 0), Frame(b / 4, b % 4, 0)))
                << "pictures " << a << " and " << b;
        }
    }
    // The hero walks and stands: the two rows are not the same frames.
    EXPECT_FALSE(SamePixels(sheet, Frame(0, 0, 0), Frame(0, 1, 0)));
}

// Pixels are either fully transparent or fully opaque, so the pictures keep
// hard pixel edges over any terrain, and the walking hero stands near the
// bottom of its cell, where the game puts the road.
TEST_F(CreatureSheet, AlphaIsCrispAndTheHeroStandsOnTheRoad) {
    for (int y = 0; y < sheet.height; y++) {
        for (int x = 0; x < sheet.width; x++) {
            const uint8_t alpha = sheet.At(x, y)[3];
            ASSERT_TRUE(alpha == 0 || alpha == 255) << x << "," << y;
        }
    }
    for (int frame = 0; frame < 3; frame++) {
        const Cell hero = Frame(0, 0, frame);
        int lowest = 0;
        for (int y = 0; y < 32; y++) {
            for (int x = 0; x < 24; x++) {
                lowest = sheet.IsClear(hero.x + x, hero.y + y) ? lowest : y;
            }
        }
        EXPECT_GE(lowest, 28) << "walking hero frame " << frame << " floats above the road";
    }
}

}  // namespace
