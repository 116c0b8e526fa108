// The font the game draws every text with: a 16x16 grid of 12x12 cells in
// CP1251 order, black where nothing is drawn.
#include "game/TextTable.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/ArtImages.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <set>

using namespace arttest;

namespace {

class FontTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string problem;
        font = ReadBmp(testsupport::ReadFile(GfxPath("font.bmp")), problem);
        ASSERT_TRUE(font.Valid()) << "font.bmp: " << problem;
        ASSERT_EQ(192, font.width);
        ASSERT_EQ(192, font.height);
    }

    static Cell CellOf(int byte) { return {(byte % 16) * 12, (byte / 16) * 12, 12, 12}; }

    Image font;
};

std::string Hex(int byte) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", byte);
    return text;
}

TEST_F(FontTest, PrintableAsciiCyrillicAndMarksHaveGlyphs) {
    std::vector<int> bytes;
    for (int byte = 0x21; byte <= 0x7E; byte++) {
        bytes.push_back(byte);
    }
    for (int byte = 0xC0; byte <= 0xFF; byte++) {
        bytes.push_back(byte);
    }
    for (int byte : {0xA8, 0xB8, 0x85, 0x96, 0x97, 0xAB, 0xBB, 0xB0, 0xB9}) {
        bytes.push_back(byte);
    }
    for (int byte : bytes) {
        EXPECT_TRUE(HasInk(font, CellOf(byte))) << "no glyph for byte " << Hex(byte);
    }
}

TEST_F(FontTest, EveryByteOfTheGameTextsHasAGlyph) {
    const std::string folder = SourcePath("game");
    DIR* dir = opendir(folder.c_str());
    ASSERT_NE(nullptr, dir) << folder;
    std::set<int> used;
    int files = 0;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 5 || name.compare(name.size() - 4, 4, ".cpp") != 0) {
            continue;
        }
        files++;
        for (const std::string& literal :
             StringLiterals(testsupport::ReadFile(folder + "/" + name))) {
            for (unsigned char byte : ToCp1251(literal)) {
                used.insert(byte);
            }
        }
    }
    closedir(dir);
    ASSERT_GT(files, 0);
    for (int byte : used) {
        if (byte == '\n' || byte == ' ' || byte == '\t' || byte == 0) {
            continue;
        }
        EXPECT_TRUE(HasInk(font, CellOf(byte))) << "a game text uses byte " << Hex(byte)
                                                << " but its cell is empty";
    }
}

// The texts as the game draws them, in both languages, byte by byte.
TEST_F(FontTest, EveryTextOfTheTableHasItsGlyphsInBothLanguages) {
    for (int key = 0; key < textKeyCount; key++) {
        for (Language language : {Language::Russian, Language::English}) {
            for (unsigned char byte : Say(static_cast<TextKey>(key), language)) {
                if (byte == '\n' || byte == ' ') {
                    continue;
                }
                EXPECT_TRUE(HasInk(font, CellOf(byte)))
                    << "key " << key << (language == Language::English ? " in English" : " in Russian")
                    << " uses byte " << Hex(byte) << ", which the font does not draw";
            }
        }
    }
}

TEST_F(FontTest, SpaceAndControlCellsAreEmpty) {
    for (int byte = 0; byte <= 0x20; byte++) {
        EXPECT_FALSE(HasInk(font, CellOf(byte))) << Hex(byte);
    }
    EXPECT_FALSE(HasInk(font, CellOf(0xA0))) << "no-break space";
}

// Black is the font's transparent colour: ink that came out black, or so
// dark it might as well be, would leave holes in the letters.
TEST_F(FontTest, BackgroundIsExactBlackAndInkIsNever) {
    int black = 0;
    for (int y = 0; y < font.height; y++) {
        for (int x = 0; x < font.width; x++) {
            const uint8_t* p = font.At(x, y);
            if (font.IsBlack(x, y)) {
                black++;
                continue;
            }
            EXPECT_GE(std::max({p[0], p[1], p[2]}), 16)
                << "near-black ink at " << x << "," << y;
        }
    }
    EXPECT_GT(black, font.width * font.height / 2);
}

// Glyphs advance 7 pixels in 12-pixel cells, so a glyph's ink must stay in
// the middle columns or it runs into its neighbours; the outer rows and
// columns of every cell stay black.
TEST_F(FontTest, InkStaysInTheMiddleOfItsCell) {
    for (int byte = 0; byte < 256; byte++) {
        const Cell cell = CellOf(byte);
        for (int y = 0; y < 12; y++) {
            for (int x = 0; x < 12; x++) {
                if (font.IsBlack(cell.x + x, cell.y + y)) {
                    continue;
                }
                EXPECT_TRUE(x >= 3 && x <= 9 && y >= 1 && y <= 11)
                    << "byte " << Hex(byte) << " has ink at cell pixel " << x << "," << y;
                const uint8_t* p = font.At(cell.x + x, cell.y + y);
                if (p[0] > 128 && p[1] > 128 && p[2] > 128) {
                    EXPECT_LE(x, 8) << "byte " << Hex(byte) << ": bright ink past column 8";
                }
            }
        }
    }
}

TEST_F(FontTest, LettersThatLookDifferentAreDrawnDifferently) {
    // Pairs a player must be able to tell apart in the game's texts.
    const std::pair<int, int> pairs[] = {
        {0xC8, 0xC9},  // И Й
        {0xE8, 0xE9},  // и й
        {0xC5, 0xA8},  // Е Ё
        {0xE5, 0xB8},  // е ё
        {0xD8, 0xD9},  // Ш Щ
        {0xFC, 0xFA},  // ь ъ
        {'0', 'O'},
        {'1', 'l'},
    };
    for (const auto& pair : pairs) {
        EXPECT_FALSE(SamePixels(font, CellOf(pair.first), CellOf(pair.second)))
            << Hex(pair.first) << " and " << Hex(pair.second);
    }
}

}  // namespace
