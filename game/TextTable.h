#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// The languages the game speaks. Russian is the game's own and the default;
// nothing but a player's choice (ChooseLanguage) switches to English.
enum class Language : int32_t {
    Russian = 0,
    English = 1,
};

const int languageCount = 2;

// The language of a code, "ru" or "en"; false for any other code.
bool LanguageOfCode(const std::string& code, Language& language);

// The codes a player may choose from, for a usage line: "en (English), ru (Russian)".
const char* LanguageChoices();

// Every text the game draws, by what it says. Numbers are filled in by Fill.
enum class TextKey : int32_t {
    GameName,
    TitleSubtitle,
    TitleStory,
    TitleCall,
    ContinuePrompt,
    TitleCredits,
    WorldCard,
    Lives,
    HudLine,
    GameOver,
    OkButton,

    NoneName,
    NoneDescription,
    ShopName,
    ShopDescription,
    ForgeName,
    ForgeDescription,
    CampName,
    CampDescription,
    WitchHutName,
    WitchHutDescription,
    SlimeName,
    SlimeDescription,
    SkeletonName,
    SkeletonDescription,
    ZombieName,
    ZombieDescription,
    WerewolfName,
    WerewolfDescription,
    MinotaurName,
    MinotaurDescription,
    GolemName,
    GolemDescription,
    AngelName,
    AngelDescription,
    ThanatosName,
    ThanatosDescription,
    DragonName,
    DragonDescription,

    ShopPotionButton,
    ShopHealingButton,
    ShopLeaveButton,
    ForgeAttackButton,
    ForgeDefenceButton,
    ForgeLeaveButton,
    CampTrainingButton,
    CampDiceButton,
    CampLeaveButton,
    AttackButton,
    PotionButton,
    FleeButton,

    LevelUp,
    DiceWon,
    DiceLost,
    Defeat,
    MonsterDefeated,
    DragonSlain,
    PrincessElsewhere,
    PrincessSaved,
    AdventureGoesOn,
    AnotherDragon,
};

const int textKeyCount = static_cast<int>(TextKey::AnotherDragon) + 1;

// Where a text is drawn: the place it must fit, measured from the drawing.
enum class TextBox : int32_t {
    ScreenLine,        // one line centred on the screen
    TitleStory,        // the title panel, above the three figures
    TitlePanelLine,    // one line inside the title panel
    EncounterName,     // one line at the top of the encounter panel
    MonsterDescription,  // beside the creature, above its two numbers
    PlaceDescription,  // beside the place's picture, above the buttons
    Button,            // one of the three encounter buttons
    Message,           // the message box, above its OK button
    OkButton,          // the message box's OK button
};

const int textBoxCount = static_cast<int>(TextBox::OkButton) + 1;

// A box in virtual-screen pixels: texts are drawn centred on centreX with
// their first line's top at top; every glyph must stay within left..right
// and every line above bottom.
struct TextBoxPlace {
    float centreX;
    float top;
    float left;
    float right;
    float bottom;
};

const TextBoxPlace& PlaceOf(TextBox box);

// How many glyphs a line and how many lines a box holds, with the font's
// fixed advance of 7 pixels a glyph and 14 a line.
int GlyphsThatFit(TextBox box);
int LinesThatFit(TextBox box);

// The box a text is drawn in.
TextBox BoxOf(TextKey key);

// The text of a key in a language, as the CP1251 bytes the game draws.
const std::string& Say(TextKey key, Language language);

// A text with each "%d" replaced, in order, by the next number in decimal.
std::string Fill(const std::string& pattern, std::initializer_list<int32_t> numbers);
std::string Fill(const std::string& pattern, const std::vector<int32_t>& numbers);

// How many "%d"s the text of a key has, the same in every language.
int NumbersOf(TextKey key);
