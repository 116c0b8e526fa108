#include "game/TextTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "game/Draw.h"
#include "game/Random.h"
#include "game/Rules.h"
#include "game/Text.h"
#include "game/Text.h"
#include "tests/game/GameDriver.h"
#include "tests/support/RecordingGraphicEngine.h"

namespace {

using gametest::GameDriver;
using gametest::TableEntry;

std::vector<TextKey> AllKeys() {
    std::vector<TextKey> keys;
    for (int i = 0; i < textKeyCount; i++) {
        keys.push_back(static_cast<TextKey>(i));
    }
    return keys;
}

int Placeholders(const std::string& text) {
    int count = 0;
    for (size_t at = text.find("%d"); at != std::string::npos; at = text.find("%d", at + 2)) {
        count++;
    }
    return count;
}

// A text with every number it can carry set to the same value.
std::string FilledWith(const std::string& pattern, int32_t number) {
    const std::vector<int32_t> numbers(static_cast<size_t>(Placeholders(pattern)), number);
    std::string out = pattern;
    for (int32_t value : numbers) {
        out = Fill(out, {value});
    }
    return out;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Fails, naming the key and the line, where the text runs out of its box.
void ExpectFits(TextKey key, const std::string& text, const char* language) {
    const TextBox box = BoxOf(key);
    const std::vector<std::string> lines = LinesOf(text);
    EXPECT_LE(static_cast<int>(lines.size()), LinesThatFit(box))
        << language << " key " << static_cast<int>(key) << ": too many lines in \"" << text << "\"";
    for (const std::string& line : lines) {
        EXPECT_LE(static_cast<int>(line.size()), GlyphsThatFit(box))
            << language << " key " << static_cast<int>(key) << ": \"" << line << "\" is too wide";
    }
}

TEST(TextTable, EveryKeyHasBothLanguagesWithTheSameNumbersToFill) {
    for (TextKey key : AllKeys()) {
        const std::string& russian = Say(key, Language::Russian);
        const std::string& english = Say(key, Language::English);
        EXPECT_EQ(russian.empty(), english.empty()) << "key " << static_cast<int>(key);
        EXPECT_EQ(Placeholders(russian), Placeholders(english)) << "key " << static_cast<int>(key);
    }
    EXPECT_EQ(Say(TextKey::NoneDescription, Language::English), "") << "the one text left empty";
}

TEST(TextTable, RussianIsTheGamesOwnAndTheSpecifiedEnglishStays) {
    EXPECT_EQ(Say(TextKey::DiceWon, Language::Russian), Cp1251("Ты выиграл $20!"));
    EXPECT_EQ(Say(TextKey::DiceWon, Language::English), "You won $10!") << "what the dice pay";
    for (TextKey key : {TextKey::WorldCard, TextKey::HudLine, TextKey::GameOver, TextKey::OkButton,
                        TextKey::LevelUp}) {
        EXPECT_EQ(Say(key, Language::English), Say(key, Language::Russian));
    }
}

// The boxes as the drawing gives them: glyphs a line and lines.
TEST(TextBoxes, EachBoxHoldsWhatItsPlaceOnTheScreenAllows) {
    struct Size {
        TextBox box;
        int glyphs;
        int lines;
    };
    const Size sizes[] = {
        {TextBox::ScreenLine, 44, 1},         {TextBox::TitleStory, 33, 3},
        {TextBox::TitlePanelLine, 33, 1},     {TextBox::EncounterName, 33, 1},
        {TextBox::MonsterDescription, 27, 1}, {TextBox::PlaceDescription, 27, 3},
        {TextBox::Button, 10, 2},             {TextBox::Message, 27, 3},
        {TextBox::OkButton, 4, 1},
    };
    for (const Size& size : sizes) {
        EXPECT_EQ(GlyphsThatFit(size.box), size.glyphs) << "box " << static_cast<int>(size.box);
        EXPECT_EQ(LinesThatFit(size.box), size.lines) << "box " << static_cast<int>(size.box);
    }
}

// The boxes were measured for the Russian texts: each fits its own, with
// numbers as the first worlds give them. (The Russian victory line is the
// game's own and runs past the box once its two numbers have ten digits
// together.)
TEST(TextBoxes, EveryRussianTextFitsItsBox) {
    for (TextKey key : AllKeys()) {
        ExpectFits(key, FilledWith(Say(key, Language::Russian), 999), "Russian");
    }
}

// Gold and experience have no bound: every English text that differs from
// the Russian fits with the largest numbers a record can hold.
TEST(TextBoxes, EveryEnglishTextFitsItsBoxWithTheLargestNumbers) {
    const int32_t largest = std::numeric_limits<int32_t>::max();
    const int32_t lowest = std::numeric_limits<int32_t>::min();
    int translated = 0;
    for (TextKey key : AllKeys()) {
        const std::string& english = Say(key, Language::English);
        if (english == Say(key, Language::Russian)) {
            continue;
        }
        translated++;
        ExpectFits(key, FilledWith(english, largest), "English");
        ExpectFits(key, FilledWith(english, lowest), "English");
    }
    EXPECT_GT(translated, 40);
}

TEST(TextFill, NumbersGoInOrderAndNothingElseChanges) {
    EXPECT_EQ(Fill("World %d-%d", {12, 3}), "World 12-3");
    EXPECT_EQ(Fill("%d and %d", {-7}), "-7 and %d") << "one number for one place";
    EXPECT_EQ(Fill("$%d", {2147483647}), "$2147483647");
    EXPECT_EQ(Fill("no number", {1}), "no number");
}

TEST(LanguageCodes, OnlyEnAndRuAreKnown) {
    Language language = Language::Russian;
    EXPECT_TRUE(LanguageOfCode("en", language));
    EXPECT_EQ(language, Language::English);
    EXPECT_TRUE(LanguageOfCode("ru", language));
    EXPECT_EQ(language, Language::Russian);
    for (const char* wrong : {"", "EN", "english", "de", "en_US", "r"}) {
        language = Language::English;
        EXPECT_FALSE(LanguageOfCode(wrong, language)) << wrong;
        EXPECT_EQ(language, Language::English) << "unchanged by " << wrong;
    }
    const std::string choices = LanguageChoices();
    EXPECT_NE(choices.find("en"), std::string::npos);
    EXPECT_NE(choices.find("ru"), std::string::npos);
}

// An English game: its world, buttons and messages all come from the English
// column, its numbers filled as in Russian.
TEST(EnglishGame, WorldButtonsAndMessagesSpeakEnglish) {
    FixRandomSeed(7);
    GameDriver driver;
    ChooseLanguage(driver.state, Language::English);
    driver.ClickAt(160, 120);
    ASSERT_TRUE(driver.RunUntil(ScreenState::Travel));
    for (int stage = 1; stage <= dragonStage; stage++) {
        const Encounter& slot = driver.state.slots[stage];
        EXPECT_EQ(slot.name, EncounterTable(Language::English)[static_cast<int>(slot.type)].name);
    }
    EXPECT_EQ(driver.state.slots[dragonStage].name, "Dragon");
    EXPECT_EQ(ButtonLabel(EncounterType::Slime, 1, Language::English), "Drink\na potion");

    Encounter slime = EncounterTable(Language::English)[static_cast<int>(EncounterType::Slime)];
    driver.StandAt(1, slime);
    driver.ClickButton(0);
    driver.ClickButton(0);
    EXPECT_EQ(driver.Front(), "Monster defeated!\nYou got 7 EXP\nand $20");
    driver.Dismiss();
    driver.StandAt(2, EncounterTable(Language::English)[static_cast<int>(EncounterType::MercenaryCamp)]);
    driver.ClickButton(1);
    EXPECT_TRUE(driver.Front() == "You won $10!" || driver.Front() == "You lost $10 :(") << driver.Front();
    ReleaseRandomSeed();
}

// The run goes on where it was: the same screen and numbers, its encounters
// renamed and its waiting message worded in the new language.
TEST(EnglishGame, ChoosingAnotherLanguageMidGameKeepsTheRun) {
    GameDriver driver;
    driver.StandAt(2, TableEntry(EncounterType::Slime));
    driver.state.slots[3] = TableEntry(EncounterType::Dragon);
    driver.ClickButton(1);
    ASSERT_FALSE(driver.state.popups.empty());
    driver.state.messages.PushMessage(Message{TextKey::MonsterDefeated, {7, 20}});
    const int32_t potions = driver.state.potions;
    const size_t popups = driver.state.popups.size();

    ChooseLanguage(driver.state, Language::English);
    EXPECT_EQ(driver.state.language, Language::English);
    EXPECT_EQ(driver.state.screen, ScreenState::InEncounter);
    EXPECT_EQ(driver.state.stage, 2);
    EXPECT_EQ(driver.state.potions, potions);
    EXPECT_EQ(driver.state.popups.size(), popups);
    EXPECT_EQ(driver.state.slots[2].name, EncounterTable(Language::English)[5].name);
    EXPECT_EQ(driver.state.slots[3].name, "Dragon");
    EXPECT_EQ(driver.Front(), "Monster defeated!\nYou got 7 EXP\nand $20");

    ChooseLanguage(driver.state, Language::Russian);
    EXPECT_EQ(driver.state.screen, ScreenState::InEncounter);
    EXPECT_EQ(driver.state.language, Language::Russian);
    EXPECT_EQ(driver.state.slots[3].name, TableEntry(EncounterType::Dragon).name);
    EXPECT_EQ(driver.Front(), Cp1251("Монстр повержен и\nты получил 7EXP и $20"));
}

TEST(EnglishGame, TheTitleDrawsTheEnglishTexts) {
    GameState state;
    ChooseLanguage(state, Language::English);
    testsupport::RecordingGraphicEngine graphics;
    gametest::FakePointer pointer;
    state.animFrame = 40;
    DrawGame(state, graphics, pointer);
    const std::string title = graphics.TextsDrawn();
    for (TextKey key : {TextKey::TitleSubtitle, TextKey::TitleStory, TextKey::TitleCall,
                        TextKey::ContinuePrompt, TextKey::TitleCredits}) {
        EXPECT_NE(title.find(Say(key, Language::English)), std::string::npos) << static_cast<int>(key);
    }
    EXPECT_EQ(title.find(Say(TextKey::TitleStory, Language::Russian)), std::string::npos);
}

TEST(EnglishGame, AnEncounterDrawsItsEnglishNameDescriptionAndCaptions) {
    GameState state;
    ChooseLanguage(state, Language::English);
    state.screen = ScreenState::InEncounter;
    state.stage = 3;
    state.slots[3] = EncounterTable(Language::English)[static_cast<int>(EncounterType::Forge)];
    testsupport::RecordingGraphicEngine graphics;
    gametest::FakePointer pointer;
    DrawGame(state, graphics, pointer);
    const std::string drawn = graphics.TextsDrawn();
    for (TextKey key : {TextKey::ForgeName, TextKey::ForgeDescription, TextKey::ForgeAttackButton,
                        TextKey::ForgeDefenceButton, TextKey::ForgeLeaveButton}) {
        EXPECT_NE(drawn.find(Say(key, Language::English)), std::string::npos) << static_cast<int>(key);
    }
    EXPECT_EQ(drawn.find(Say(TextKey::ForgeLeaveButton, Language::Russian)), std::string::npos);
}

}  // namespace
