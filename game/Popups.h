#pragma once

#include <cstdint>
#include <deque>
#include <string>

struct GameState;

// A floating number beside the value it changed.
struct StatPopup {
    int32_t x;
    int32_t y;
    int32_t value;
    int32_t life;
};

const int32_t popupLife = 100;

// First in, first out queue of modal message texts (CP1251 bytes).
class MessageQueue {
public:
    void PushMessage(const std::string& text);
    void PopMessage();
    const std::string& FrontMessage() const;
    bool IsEmpty() const;
    size_t Count() const;

private:
    std::deque<std::string> texts;
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
