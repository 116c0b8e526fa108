#include "game/GameState.h"


#include "game/Random.h"
#include "game/Text.h"

namespace {

// One row of the content table as written here: readable text, world-1 numbers.
struct EncounterRow {
    EncounterType type;
    const char* name;
    const char* description;
    int32_t hp;
    int32_t attack;
    int32_t exp;
    int32_t gold;
    int32_t spriteColumn;
    int32_t spriteRow;
};

using T = EncounterType;
const EncounterRow encounterRows[encounterKinds] = {
    // type            name                   description                                            hp   atk exp gold col row
    {T::None,          "Хз",                  "",                                                     0,   0,  0,   0, 0, 0},
    {T::WizardShop,    "Магазин волшебника",  "Старый волшебник\nторгует целеблыми зельями",          0,   0,  0,   0, 1, 0},
    {T::Forge,         "Кузница",             "Кузнец может улучшить\nваше обмундирование",           0,   0,  0,   0, 1, 1},
    {T::MercenaryCamp, "Лагерь наемников",    "Здесь можно потренироваться\nили поиграть в кости",    0,   0,  0,   0, 1, 2},
    {T::WitchHut,      "Хижина ведьмы",       "Хз",                                                   0,   0,  0,   0, 1, 3},
    {T::Slime,         "Слизняк",             "Это что еще за сопля?",                               20,   6,  7,  20, 2, 0},
    {T::Skeleton,      "Скелет",              "Устрашающе гремит костями",                           50,  10, 15,  35, 2, 1},
    {T::Zombie,        "Зомби",               "Мозги! Свежие мозги!",                                70,  13, 25,  50, 2, 2},
    {T::Werewolf,      "Оборотень",           "Чертово полнолуние!",                                100,  16, 30,  70, 2, 3},
    {T::Minotaur,      "Минотавр",            "Ни бык, ни человек",                                 120,  18, 35,  90, 3, 0},
    {T::Golem,         "Голем",               "Каменное чудище",                                    240,  17, 40, 100, 3, 1},
    {T::Angel,         "Ангел",               "Похоже, этот падший",                                220,  22, 55, 130, 3, 2},
    {T::Thanatos,      "Танатос",             "Пришел по твою душу",                                250,  25, 60, 150, 3, 3},
    {T::Dragon,        "Дракон",              "Огнедышащее чудовище",                               200,  20, 50, 120, 0, 3},
};

Encounter MakeEncounter(const EncounterRow& row) {
    Encounter entry;
    entry.type = row.type;
    entry.hp = row.hp;
    entry.attack = row.attack;
    entry.exp = row.exp;
    entry.gold = row.gold;
    entry.spriteColumn = row.spriteColumn;
    entry.spriteRow = row.spriteRow;
    entry.name = Cp1251(row.name);
    entry.description = Cp1251(row.description);
    return entry;
}

struct BuiltTable {
    Encounter entries[encounterKinds];

    BuiltTable() {
        for (int i = 0; i < encounterKinds; i++) {
            entries[i] = MakeEncounter(encounterRows[i]);
        }
    }
};

const int firstMonster = static_cast<int>(EncounterType::Slime);
const int monsterWindow = 3;
const int worldCycle = 7;
const int firstPlace = static_cast<int>(EncounterType::WizardShop);
const int placeKinds = 3;
const int lastPlaceStage = 5;

const Encounter& Entry(EncounterType type) {
    return EncounterTable()[static_cast<int>(type)];
}

// value * f / 2, multiplied before the truncating division.
int32_t Scale(int32_t value, int32_t factor) {
    return static_cast<int32_t>(static_cast<int64_t>(value) * factor / 2);
}

void ScaleMonster(Encounter& slot, int32_t factor) {
    slot.hp = Scale(slot.hp, factor);
    slot.attack = Scale(slot.attack, factor);
    slot.exp = Scale(slot.exp, factor);
    slot.gold = Scale(slot.gold, factor);
}

// Three consecutive monsters, moving up one kind a world and starting over
// after seven worlds.
void PlaceMonsters(GameState& state) {
    const int windowStart = firstMonster + (state.world - 1) % worldCycle;
    for (int stage = 1; stage < dragonStage; stage++) {
        state.slots[stage] = EncounterTable()[windowStart + Random() % monsterWindow];
    }
    state.slots[dragonStage] = Entry(EncounterType::Dragon);
}

// Every seventh world adds an extra step on top of the world number.
int32_t WorldScale(int32_t world) {
    return world + 2 * ((world - 1) / worldCycle) + 1;
}

// Places come after scaling, so they keep their zero numbers.
void PlacePlaces(GameState& state) {
    for (int stage = 1; stage <= lastPlaceStage; stage++) {
        if (Random() % 4 == 0) {
            state.slots[stage] = EncounterTable()[firstPlace + Random() % placeKinds];
        }
    }
    state.slots[lastPlaceStage + Random() % 2] = Entry(EncounterType::WizardShop);
}

}  // namespace

const Encounter* EncounterTable() {
    static const BuiltTable table;
    return table.entries;
}

void GenerateWorld(GameState& state) {
    SeedRandom();
    PlaceMonsters(state);
    const int32_t factor = WorldScale(state.world);
    for (int stage = 1; stage <= dragonStage; stage++) {
        ScaleMonster(state.slots[stage], factor);
    }
    PlacePlaces(state);
}
