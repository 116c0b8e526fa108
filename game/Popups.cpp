#include "game/Popups.h"

#include "game/GameState.h"

namespace {

const int32_t hpMin = 0;
const int32_t hpMax = 100;

// Where the heads-up display shows each number, and where the encounter
// panel shows the monster's hit points.
struct PopupPlace {
    int32_t x;
    int32_t y;
};
const PopupPlace hpPlace = {50, 35};
const PopupPlace attackPlace = {110, 35};
const PopupPlace defencePlace = {170, 35};
const PopupPlace goldPlace = {230, 35};
const PopupPlace potionsPlace = {290, 35};
const PopupPlace monsterHpPlace = {160, 105};

void AddPopupAt(GameState& state, const PopupPlace& place, int32_t value) {
    AddPopup(state, StatPopup{place.x, place.y, value, popupLife});
}

}  // namespace

std::string MessageText(const Message& message, Language language) {
    return Fill(Say(message.key, language), message.numbers);
}

void MessageQueue::PushMessage(const Message& message) {
    messages.push_back(message);
}

void MessageQueue::PopMessage() {
    if (!messages.empty()) {
        messages.pop_front();
    }
}

std::string MessageQueue::FrontText(Language language) const {
    return messages.empty() ? std::string() : MessageText(messages.front(), language);
}

bool MessageQueue::IsEmpty() const {
    return messages.empty();
}

size_t MessageQueue::Count() const {
    return messages.size();
}

void AddPopup(GameState& state, const StatPopup& popup) {
    state.popups.push_back(popup);
}

void ClearPopups(GameState& state) {
    state.popups.clear();
}

void ChangeHp(GameState& state, int32_t amount) {
    const int64_t hp = static_cast<int64_t>(state.hp) + amount;
    state.hp = static_cast<int32_t>(hp < hpMin ? hpMin : (hp > hpMax ? hpMax : hp));
    AddPopupAt(state, hpPlace, amount);
}

void IncreaseAttack(GameState& state) {
    state.attack += 1;
    AddPopupAt(state, attackPlace, 1);
}

void IncreaseDefence(GameState& state) {
    state.defence += 1;
    AddPopupAt(state, defencePlace, 1);
}

void ChangeGold(GameState& state, int32_t amount) {
    state.gold += amount;
    AddPopupAt(state, goldPlace, amount);
}

void ChangePotions(GameState& state, int32_t amount) {
    state.potions += amount;
    AddPopupAt(state, potionsPlace, amount);
}

void ChangeMonsterHp(GameState& state, int32_t amount) {
    Encounter& monster = state.slots[state.stage];
    const int64_t hp = static_cast<int64_t>(monster.hp) + amount;
    monster.hp = static_cast<int32_t>(hp < 0 ? 0 : hp);
    AddPopupAt(state, monsterHpPlace, amount);
}
