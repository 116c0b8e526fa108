#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "game/TextTable.h"

struct GameState;

// A floating number beside the value it changed.
struct StatPopup {
    int32_t x;
    int32_t y;
    int32_t value;
    int32_t life;
};

const int32_t popupLife = 100;

// A modal message as the queue keeps it: what it says and the numbers that
// fill its "%d"s. It becomes text only when drawn, in the language of the
// moment, so a queue survives a language switch and a save.
struct Message {
    TextKey key = TextKey::LevelUp;
    std::vector<int32_t> numbers;

    bool operator==(const Message& other) const {
        return key == other.key && numbers == other.numbers;
    }
};

// The CP1251 text of a message in a language.
std::string MessageText(const Message& message, Language language);

// First in, first out queue of modal messages.
class MessageQueue {
public:
    void PushMessage(const Message& message);
    void PopMessage();
    // The front message's text, "" for an empty queue.
    std::string FrontText(Language language) const;
    bool IsEmpty() const;
    size_t Count() const;
    const std::deque<Message>& All() const { return messages; }

private:
    std::deque<Message> messages;
};

void AddPopup(GameState& state, const StatPopup& popup);
void ClearPopups(GameState& state);

// Each changes its number, then adds a popup of the amount asked for.
void ChangeHp(GameState& state, int32_t amount);
void IncreaseAttack(GameState& state);
void IncreaseDefence(GameState& state);
void ChangeGold(GameState& state, int32_t amount);
void ChangePotions(GameState& state, int32_t amount);
void ChangeMonsterHp(GameState& state, int32_t amount);
