#include "game/GameState.h"

#include "game/Random.h"
#include "game/TextTable.h"

namespace {

// One row of the content table as written here: texts by key, world-1 numbers.
struct EncounterRow {
    EncounterType type;
    TextKey name;
    TextKey description;
    int32_t hp;
    int32_t attack;
    int32_t exp;
    int32_t gold;
    int32_t spriteColumn;
    int32_t spriteRow;
};

using T = EncounterType;
using K = TextKey;
const EncounterRow encounterRows[encounterKinds] = {
    // type            name             description               hp  atk exp gold col row
    {T::None,          K::NoneName,     K::NoneDescription,        0,   0,  0,   0, 0, 0},
    {T::WizardShop,    K::ShopName,     K::ShopDescription,        0,   0,  0,   0, 1, 0},
    {T::Forge,         K::ForgeName,    K::ForgeDescription,       0,   0,  0,   0, 1, 1},
    {T::MercenaryCamp, K::CampName,     K::CampDescription,        0,   0,  0,   0, 1, 2},
    {T::WitchHut,      K::WitchHutName, K::WitchHutDescription,    0,   0,  0,   0, 1, 3},
    {T::Slime,         K::SlimeName,    K::SlimeDescription,      20,   6,  7,  20, 2, 0},
    {T::Skeleton,      K::SkeletonName, K::SkeletonDescription,   50,  10, 15,  35, 2, 1},
    {T::Zombie,        K::ZombieName,   K::ZombieDescription,     70,  13, 25,  50, 2, 2},
    {T::Werewolf,      K::WerewolfName, K::WerewolfDescription,  100,  16, 30,  70, 2, 3},
    {T::Minotaur,      K::MinotaurName, K::MinotaurDescription,  120,  18, 35,  90, 3, 0},
    {T::Golem,         K::GolemName,    K::GolemDescription,     240,  17, 40, 100, 3, 1},
    {T::Angel,         K::AngelName,    K::AngelDescription,     220,  22, 55, 130, 3, 2},
    {T::Thanatos,      K::ThanatosName, K::ThanatosDescription,  250,  25, 60, 150, 3, 3},
    {T::Dragon,        K::DragonName,   K::DragonDescription,    200,  20, 50, 120, 0, 3},
};

Encounter MakeEncounter(const EncounterRow& row, Language language) {
    Encounter entry;
    entry.type = row.type;
    entry.hp = row.hp;
    entry.attack = row.attack;
    entry.exp = row.exp;
    entry.gold = row.gold;
    entry.spriteColumn = row.spriteColumn;
    entry.spriteRow = row.spriteRow;
    entry.name = Say(row.name, language);
    entry.description = Say(row.description, language);
    return entry;
}

struct BuiltTable {
    Encounter entries[languageCount][encounterKinds];

    BuiltTable() {
        for (int language = 0; language < languageCount; language++) {
            for (int i = 0; i < encounterKinds; i++) {
                entries[language][i] =
                    MakeEncounter(encounterRows[i], static_cast<Language>(language));
            }
        }
    }
};

const int firstMonster = static_cast<int>(EncounterType::Slime);
const int monsterWindow = 3;
const int worldCycle = 7;
const int firstPlace = static_cast<int>(EncounterType::WizardShop);
const int placeKinds = 3;
const int lastPlaceStage = 5;

const Encounter& Entry(const GameState& state, EncounterType type) {
    return EncounterTable(state.language)[static_cast<int>(type)];
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
        state.slots[stage] = EncounterTable(state.language)[windowStart + Random() % monsterWindow];
    }
    state.slots[dragonStage] = Entry(state, EncounterType::Dragon);
}

// Every seventh world adds an extra step on top of the world number.
int32_t WorldScale(int32_t world) {
    return world + 2 * ((world - 1) / worldCycle) + 1;
}

// Places come after scaling, so they keep their zero numbers.
void PlacePlaces(GameState& state) {
    for (int stage = 1; stage <= lastPlaceStage; stage++) {
        if (Random() % 4 == 0) {
            state.slots[stage] = EncounterTable(state.language)[firstPlace + Random() % placeKinds];
        }
    }
    state.slots[lastPlaceStage + Random() % 2] = Entry(state, EncounterType::WizardShop);
}

}  // namespace

const Encounter* EncounterTable(Language language) {
    static const BuiltTable table;
    return table.entries[static_cast<int>(language)];
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

void NameSlots(GameState& state) {
    const Encounter* table = EncounterTable(state.language);
    for (Encounter& slot : state.slots) {
        const Encounter& entry = table[static_cast<int>(slot.type)];
        slot.name = entry.name;
        slot.description = entry.description;
    }
}
