#pragma once

#include <cstdint>
#include <string>

#include "game/GameState.h"
#include "game/Random.h"

// A run as text, to be kept where only text can be kept (a page's storage):
// the record's numbers, every slot's numbers and sprite cell, the message
// queue as keys and numbers, and the random generator's state. Names and
// descriptions follow from the types and the language; the popups are not
// kept. One line a part, numbers in decimal:
//   dunmark-save <format>
//   game <the version of the game that wrote it>
//   record <timer> <screen> <animFrame> <world> <stage> <exp> <level> <hp>
//          <gold> <potions> <attack> <defence> <language>
//   slot <type> <hp> <attack> <exp> <gold> <column> <row>      (ten lines)
//   messages <count>
//   message <key> <number>...                                  (count lines)
//   random <front> <word>...                                   (31 words)
//   checksum <FNV-1a of every byte before this line, 8 hex digits>
// A save of any game version loads if its format is this one.
const int32_t saveFormat = 1;

struct SavedRun {
    GameState state;
    RandomState random{};
    std::string gameVersion;
};

std::string WriteSave(const GameState& state, const RandomState& random,
                      const std::string& gameVersion);

// A save's body (every line but the checksum) with its checksum line added.
std::string SignedSave(const std::string& body);

// Reads and checks a save: every field, and the rules between them. False,
// with why in reason and run untouched, for any text that is not a whole
// valid save of this format.
bool ReadSave(const std::string& text, SavedRun& run, std::string& reason);
