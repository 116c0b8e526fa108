#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/Popups.h"
#include "game/TextTable.h"

// Type codes of the encounters; the code is the index into EncounterTable.
// 1..4 are places, every other code is fought as a monster.
enum class EncounterType : int32_t {
    None = 0,
    WizardShop = 1,
    Forge = 2,
    MercenaryCamp = 3,
    WitchHut = 4,
    Slime = 5,
    Skeleton = 6,
    Zombie = 7,
    Werewolf = 8,
    Minotaur = 9,
    Golem = 10,
    Angel = 11,
    Thanatos = 12,
    Dragon = 13,
};

// The screen state machine (see UpdateGame).
enum class ScreenState : int32_t {
    Title = 0,
    WorldIntro = 1,
    Travel = 2,
    Arrive = 3,
    InEncounter = 4,
    Depart = 5,
    GameOver = 6,
};

// One kind of encounter (a table entry) or one encounter of a world (a slot).
// Texts are CP1251 bytes; a newline byte separates description lines.
struct Encounter {
    EncounterType type = EncounterType::None;
    int32_t hp = 0;
    int32_t attack = 0;
    int32_t exp = 0;
    int32_t gold = 0;
    int32_t spriteColumn = 0;
    int32_t spriteRow = 0;
    std::string name;
    std::string description;
};

const int encounterKinds = 14;
const int slotCount = 10;
const int dragonStage = 7;

// The fourteen constant entries, indexed by type code, with their texts in
// the given language.
const Encounter* EncounterTable(Language language = Language::Russian);

// Everything the game knows: the one record of the process.
struct GameState {
    int32_t timer = 0;
    ScreenState screen = ScreenState::Title;
    int32_t animFrame = 0;
    int32_t world = 1;
    int32_t stage = 0;
    int32_t exp = 0;
    int32_t level = 1;
    int32_t hp = 100;
    int32_t gold = 100;
    int32_t potions = 3;
    int32_t attack = 4;
    int32_t defence = 1;
    Encounter slots[slotCount];
    std::vector<StatPopup> popups;
    MessageQueue messages;
    Language language = Language::Russian;
};

// Fills slots 1..7 for the current world.
void GenerateWorld(GameState& state);

// Gives every slot the name and description of its type in the record's
// language; the numbers stay.
void NameSlots(GameState& state);
