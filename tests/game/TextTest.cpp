#include "game/Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Runs the conversion over a heap copy of exactly the given bytes plus the
// terminating zero, so that a read past the end shows under AddressSanitizer.
std::string ConvertExact(const char* bytes, size_t count) {
    std::vector<char> copy(bytes, bytes + count);
    copy.push_back('\0');
    return Cp1251(copy.data());
}

TEST(Cp1251Text, AsciiPassesThroughUnchanged) {
    std::string ascii;
    for (int c = 1; c < 128; c++) {
        ascii += static_cast<char>(c);
    }
    EXPECT_EQ(Cp1251(ascii.c_str()), ascii);
    EXPECT_EQ(Cp1251("Level UP!\n$20 :("), "Level UP!\n$20 :(");
}

TEST(Cp1251Text, UpperAndLowerAlphabetFillTheTopQuarterInOrder) {
    const std::string converted =
        Cp1251("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя");
    ASSERT_EQ(converted.size(), 64u);
    for (int i = 0; i < 64; i++) {
        EXPECT_EQ(static_cast<unsigned char>(converted[i]), 0xC0 + i) << "letter " << i;
    }
}

TEST(Cp1251Text, YoLettersSitOutsideTheAlphabetBlock) {
    EXPECT_EQ(Cp1251("Ё"), "\xA8");
    EXPECT_EQ(Cp1251("ё"), "\xB8");
    EXPECT_EQ(Cp1251("ещё"), "\xE5\xF9\xB8");
}

TEST(Cp1251Text, GameWordsConvertToKnownBytes) {
    EXPECT_EQ(Cp1251("Дракон"), "\xC4\xF0\xE0\xEA\xEE\xED");
    EXPECT_EQ(Cp1251("Ты проиграл :("), "\xD2\xFB \xEF\xF0\xEE\xE8\xE3\xF0\xE0\xEB :(");
    EXPECT_EQ(Cp1251("+1 Атака\n$100"), "+1 \xC0\xF2\xE0\xEA\xE0\n$100");
}

TEST(Cp1251Text, TypographicMarksHaveTheirCodePageBytes) {
    EXPECT_EQ(Cp1251("«№1» — …"), "\xAB\xB9" "1\xBB \x97 \x85");
}

TEST(Cp1251Text, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    EXPECT_EQ(Cp1251("a€b"), "a\x88" "b");  // the euro sign is in the page
    EXPECT_EQ(Cp1251("a中b"), "a?b");
    EXPECT_EQ(Cp1251("x😀y"), "x?y");
    EXPECT_EQ(Cp1251("é"), "?");
}

TEST(Cp1251Text, MalformedInputIsReplacedWithoutReadingPastTheEnd) {
    EXPECT_EQ(ConvertExact("\xD0", 1), "?");
    EXPECT_EQ(ConvertExact("\xE2\x80", 2), "??");
    EXPECT_EQ(ConvertExact("\xF0\x9F\x98", 3), "???");
    EXPECT_EQ(ConvertExact("\x80\xBF", 2), "??");
    EXPECT_EQ(ConvertExact("\xD0" "A", 2), "?A");
    EXPECT_EQ(ConvertExact("\xC0\x80", 2), "??");       // overlong zero
    EXPECT_EQ(ConvertExact("\xED\xA0\x80", 3), "???");  // surrogate half
    EXPECT_EQ(ConvertExact("\xFF\xFE", 2), "??");
    EXPECT_EQ(ConvertExact("\xD0\xD0\x96", 3), "?\xC6");   // a lead is no continuation
}

TEST(Cp1251Text, EdgesOfTheRangesDecodeAsOneCharacter) {
    EXPECT_EQ(ConvertExact("\xC2\x80", 2), "?");           // U+0080, past ASCII
    EXPECT_EQ(ConvertExact("\xED\x9F\xBF", 3), "?");       // U+D7FF, below the surrogates
    EXPECT_EQ(ConvertExact("\xED\xBF\xBF", 3), "???");     // U+DFFF, the last surrogate
    EXPECT_EQ(ConvertExact("\xEE\x80\x80", 3), "?");       // U+E000, past them
    EXPECT_EQ(ConvertExact("\xF4\x8F\xBF\xBF", 4), "?");   // U+10FFFF, the last character
    EXPECT_EQ(ConvertExact("\xF4\x90\x80\x80", 4), "????");  // U+110000, past it
}

TEST(Cp1251Text, NullAndEmptyGiveEmptyText) {
    EXPECT_EQ(Cp1251(nullptr), "");
    EXPECT_EQ(Cp1251(""), "");
}

}  // namespace
