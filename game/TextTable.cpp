#include "game/TextTable.h"

#include <array>

#include "game/Text.h"

namespace {

using K = TextKey;
using B = TextBox;

struct TextRow {
    TextKey key;
    TextBox box;
    const char* russian;
    const char* english;
};

// Every text of the game, one row a key, in the order of the keys. The
// Russian is the game's own; the dice win says $20 although it pays 10.
constexpr TextRow textRows[] = {
    // key                   box                    Russian                         English
    {K::GameName,            B::ScreenLine,         "Dunmark",                      "Dunmark"},
    {K::TitleSubtitle,       B::ScreenLine,         "специально для Norvik 104 - RPG II",
                                                    "Made for Norvik 104 - RPG II"},
    {K::TitleStory,          B::TitleStory,
        "Ты - храбрый рыцарь\nи ты должен вызволить принцессу\nиз замка злобного дракона!",
        "You are a brave knight,\nand you must rescue the princess\nfrom the evil dragon's castle!"},
    {K::TitleCall,           B::TitlePanelLine,     "В путь же, герой!",            "Onward, hero!"},
    {K::ContinuePrompt,      B::ScreenLine,         "Кликните чтобы продолжить",    "Click to continue"},
    {K::TitleCredits,        B::ScreenLine,         "(c) 2026 команда Dunmark",     "(c) 2026 the Dunmark team"},
    {K::WorldCard,           B::ScreenLine,         "World %d",                     "World %d"},
    {K::Lives,               B::ScreenLine,         "x1",                           "x1"},
    {K::HudLine,             B::ScreenLine,         "World %d-%d  LVL %d  EXP %d/%d",
                                                    "World %d-%d  LVL %d  EXP %d/%d"},
    {K::GameOver,            B::ScreenLine,         "GAME OVER",                    "GAME OVER"},
    {K::OkButton,            B::OkButton,           "OK",                           "OK"},

    {K::NoneName,            B::EncounterName,      "Хз",                           "Who knows"},
    {K::NoneDescription,     B::PlaceDescription,   "",                             ""},
    {K::ShopName,            B::EncounterName,      "Магазин волшебника",           "Wizard's Shop"},
    {K::ShopDescription,     B::PlaceDescription,   "Старый волшебник\nторгует целеблыми зельями",
                                                    "An old wizard\nsells healing potions"},
    {K::ForgeName,           B::EncounterName,      "Кузница",                      "Forge"},
    {K::ForgeDescription,    B::PlaceDescription,   "Кузнец может улучшить\nваше обмундирование",
                                                    "The blacksmith can\nimprove your gear"},
    {K::CampName,            B::EncounterName,      "Лагерь наемников",             "Mercenary Camp"},
    {K::CampDescription,     B::PlaceDescription,   "Здесь можно потренироваться\nили поиграть в кости",
                                                    "Here you can train\nor try your luck at dice"},
    {K::WitchHutName,        B::EncounterName,      "Хижина ведьмы",                "Witch's Hut"},
    {K::WitchHutDescription, B::MonsterDescription, "Хз",                           "Who knows"},
    {K::SlimeName,           B::EncounterName,      "Слизняк",                      "Slime"},
    {K::SlimeDescription,    B::MonsterDescription, "Это что еще за сопля?",        "What's this blob of snot?"},
    {K::SkeletonName,        B::EncounterName,      "Скелет",                       "Skeleton"},
    {K::SkeletonDescription, B::MonsterDescription, "Устрашающе гремит костями",    "Rattles its bones ominously"},
    {K::ZombieName,          B::EncounterName,      "Зомби",                        "Zombie"},
    {K::ZombieDescription,   B::MonsterDescription, "Мозги! Свежие мозги!",         "Brains! Fresh brains!"},
    {K::WerewolfName,        B::EncounterName,      "Оборотень",                    "Werewolf"},
    {K::WerewolfDescription, B::MonsterDescription, "Чертово полнолуние!",          "Curse this full moon!"},
    {K::MinotaurName,        B::EncounterName,      "Минотавр",                     "Minotaur"},
    {K::MinotaurDescription, B::MonsterDescription, "Ни бык, ни человек",           "Neither bull nor man"},
    {K::GolemName,           B::EncounterName,      "Голем",                        "Golem"},
    {K::GolemDescription,    B::MonsterDescription, "Каменное чудище",              "A monster of stone"},
    {K::AngelName,           B::EncounterName,      "Ангел",                        "Angel"},
    {K::AngelDescription,    B::MonsterDescription, "Похоже, этот падший",          "Looks like a fallen one"},
    {K::ThanatosName,        B::EncounterName,      "Танатос",                      "Thanatos"},
    {K::ThanatosDescription, B::MonsterDescription, "Пришел по твою душу",          "He's come for your soul"},
    {K::DragonName,          B::EncounterName,      "Дракон",                       "Dragon"},
    {K::DragonDescription,   B::MonsterDescription, "Огнедышащее чудовище",         "A fire-breathing beast"},

    {K::ShopPotionButton,    B::Button,             "Купить\nЗелье $20",            "Buy potion\n$20"},
    {K::ShopHealingButton,   B::Button,             "Лечение\n$100",                "Heal\n$100"},
    {K::ShopLeaveButton,     B::Button,             "Покинуть\nмагазин",            "Leave\nthe shop"},
    {K::ForgeAttackButton,   B::Button,             "+1 Атака\n$100",               "+1 Attack\n$100"},
    {K::ForgeDefenceButton,  B::Button,             "+1 Защита\n$100",              "+1 Defence\n$100"},
    {K::ForgeLeaveButton,    B::Button,             "Покинуть\nкузницу",            "Leave\nthe forge"},
    {K::CampTrainingButton,  B::Button,             "Тренировка\n$100",             "Train\n$100"},
    {K::CampDiceButton,      B::Button,             "Играть\n$10",                  "Play dice\n$10"},
    {K::CampLeaveButton,     B::Button,             "Покинуть\nлагерь",             "Leave\nthe camp"},
    {K::AttackButton,        B::Button,             "Атаковать\nврага!",            "Attack!"},
    {K::PotionButton,        B::Button,             "Выпить\nзелье",                "Drink\na potion"},
    {K::FleeButton,          B::Button,             "Сбежать",                      "Run away"},

    {K::LevelUp,             B::Message,            "Level UP!",                    "Level UP!"},
    {K::DiceWon,             B::Message,            "Ты выиграл $20!",              "You won $10!"},
    {K::DiceLost,            B::Message,            "Ты проиграл :(",               "You lost $10 :("},
    {K::Defeat,              B::Message,            "Поражение!",                   "You have fallen!"},
    {K::MonsterDefeated,     B::Message,            "Монстр повержен и\nты получил %dEXP и $%d",
                                                    "Monster defeated!\nYou got %d EXP\nand $%d"},
    {K::DragonSlain,         B::Message,            "Ты убил дракона!",             "You slew the dragon!"},
    {K::PrincessElsewhere,   B::Message,            "Но твоя принцесса\nв другом замке!",
                                                    "But your princess\nis in another castle!"},
    {K::PrincessSaved,       B::Message,            "Ты спас принцессу!\nСпасибо тебе!",
                                                    "You saved the princess!\nThank you!"},
    {K::AdventureGoesOn,     B::Message,            "Но ты можешь продолжить\nприключение и убить\nбольше драконов!",
                                                    "But you can go on\nwith your adventure\nand slay more dragons!"},
    {K::AnotherDragon,       B::Message,            "Как насчет еще одного?",       "How about another one?"},
};

constexpr bool RowsFollowTheKeys() {
    if (sizeof(textRows) / sizeof(textRows[0]) != textKeyCount) {
        return false;
    }
    for (int i = 0; i < textKeyCount; i++) {
        if (static_cast<int>(textRows[i].key) != i) {
            return false;
        }
    }
    return true;
}
static_assert(RowsFollowTheKeys(), "one row a key, in the order of the keys");

// The boxes, as the drawing places their texts.
constexpr TextBoxPlace boxPlaces[] = {
    {160, 0, 0, 320, 14},     // ScreenLine: one line, the whole width of the screen
    {160, 70, 40, 280, 115},  // TitleStory: the panel 40..280, the figures from y 115
    {160, 155, 40, 280, 180}, // TitlePanelLine: the panel, which ends at y 180
    {160, 60, 40, 280, 80},   // EncounterName: the panel 40..280, the picture from y 80
    {175, 80, 79, 280, 100},  // MonsterDescription: right of the picture (x 55..79), the numbers from y 100
    {175, 80, 79, 280, 130},  // PlaceDescription: the same, down to the buttons at y 130
    {80, 132, 42, 118, 160},  // Button: the left button's lit frame, 76x30 at x 42
    {160, 85, 60, 260, 130},  // Message: the box 60..260, the OK button from y 130
    {160, 133, 140, 180, 150},  // OkButton: its frame, 40x20
};
static_assert(sizeof(boxPlaces) / sizeof(boxPlaces[0]) == textBoxCount, "one place a box");

const int glyphAdvance = 7;
const int glyphExtra = 5;     // the last glyph's cell reaches 5 pixels past its advance
const int lineAdvance = 14;
const int glyphHeight = 12;

// The left edge of a line of n glyphs centred on x, as the renderer draws it.
float LineLeft(float x, int n) {
    return x - static_cast<float>(glyphAdvance * (n / 2)) - static_cast<float>(3 * (n % 2)) - 2.0f;
}

bool LineFits(const TextBoxPlace& place, int n) {
    const float left = LineLeft(place.centreX, n);
    return left >= place.left && left + static_cast<float>(glyphAdvance * n + glyphExtra) <= place.right;
}

struct BuiltTexts {
    std::array<std::array<std::string, languageCount>, textKeyCount> texts;

    BuiltTexts() {
        for (const TextRow& row : textRows) {
            texts[static_cast<int>(row.key)][static_cast<int>(Language::Russian)] = Cp1251(row.russian);
            texts[static_cast<int>(row.key)][static_cast<int>(Language::English)] = Cp1251(row.english);
        }
    }
};

struct LanguageName {
    const char* code;
    Language language;
};

const LanguageName languageNames[] = {{"en", Language::English}, {"ru", Language::Russian}};

}  // namespace

bool LanguageOfCode(const std::string& code, Language& language) {
    for (const LanguageName& name : languageNames) {
        if (code == name.code) {
            language = name.language;
            return true;
        }
    }
    return false;
}

const char* LanguageChoices() {
    return "en (English), ru (Russian)";
}

const TextBoxPlace& PlaceOf(TextBox box) {
    return boxPlaces[static_cast<int>(box)];
}

int GlyphsThatFit(TextBox box) {
    int n = 0;
    while (LineFits(PlaceOf(box), n + 1)) {
        n++;
    }
    return n;
}

int LinesThatFit(TextBox box) {
    const TextBoxPlace& place = PlaceOf(box);
    int lines = 0;
    while (place.top + static_cast<float>(lineAdvance * lines + glyphHeight) <= place.bottom) {
        lines++;
    }
    return lines;
}

TextBox BoxOf(TextKey key) {
    return textRows[static_cast<int>(key)].box;
}

const std::string& Say(TextKey key, Language language) {
    static const BuiltTexts built;
    return built.texts[static_cast<int>(key)][static_cast<int>(language)];
}

namespace {

std::string FillRange(const std::string& pattern, const int32_t* next, const int32_t* end) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); i++) {
        if (pattern.compare(i, 2, "%d") == 0 && next != end) {
            out += std::to_string(*next++);
            i++;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace

std::string Fill(const std::string& pattern, std::initializer_list<int32_t> numbers) {
    return FillRange(pattern, numbers.begin(), numbers.end());
}

std::string Fill(const std::string& pattern, const std::vector<int32_t>& numbers) {
    return FillRange(pattern, numbers.data(), numbers.data() + numbers.size());
}

int NumbersOf(TextKey key) {
    const std::string& text = Say(key, Language::Russian);
    int count = 0;
    for (size_t at = text.find("%d"); at != std::string::npos; at = text.find("%d", at + 2)) {
        count++;
    }
    return count;
}
