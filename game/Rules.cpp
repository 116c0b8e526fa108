#include "game/Rules.h"

#include <utility>
#include <vector>

#include "game/Events.h"
#include "game/Popups.h"
#include "game/Random.h"
#include "game/TextTable.h"
#include "ie/XInputEngine.h"

namespace {

const int32_t transitionTime = 100;
const int32_t walkStep = 1;
const int32_t panelStep = 5;
const uint32_t leftButton = 0;

const int32_t potionPrice = 20;
const int32_t servicePrice = 100;
const int32_t dicePrice = 10;
const int32_t diceStake = 10;
const int32_t healingAmount = 100;
const int32_t potionHealing = 10;
const int32_t trainingExp = 50;

// A half-open rectangle of the virtual screen.
struct Box {
    int left;
    int top;
    int right;
    int bottom;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

const int buttonCount = 3;
const Box dismissArea = {140, 130, 180, 150};

Box ButtonBox(int button) {
    return Box{42 + 80 * button, 130, 118 + 80 * button, 160};
}

bool LeftPressed(ie::XInputEngine& input) {
    return input.ButtonChanged(leftButton, false, true);
}

bool LeftReleased(ie::XInputEngine& input) {
    return input.ButtonChanged(leftButton, true, false);
}

void EnterScreen(GameState& state, ScreenState screen) {
    state.screen = screen;
    state.timer = transitionTime;
}

// True once the count has run out.
bool CountDown(GameState& state, int32_t step) {
    state.timer -= step;
    return state.timer <= 0;
}

Encounter& CurrentSlot(GameState& state) {
    return state.slots[state.stage];
}

bool AtPlace(const GameState& state) {
    const EncounterType type = state.slots[state.stage].type;
    return type >= EncounterType::WizardShop && type <= EncounterType::WitchHut;
}

void Push(GameState& state, TextKey key, std::vector<int32_t> numbers = {}) {
    state.messages.PushMessage(Message{key, std::move(numbers)});
}

// ---- effects shared by several buttons

void LevelUp(GameState& state, TickEvents& events) {
    while (state.exp >= 10 * state.level) {
        state.exp -= 10 * state.level;
        state.level += 1;
        Push(state, TextKey::LevelUp);
        events.Note(GameEvent::LevelUp);
    }
}

void PushDragonLines(GameState& state) {
    Push(state, TextKey::DragonSlain);
    if (state.world <= 6) {
        Push(state, TextKey::PrincessElsewhere);
    } else if (state.world == 7) {
        Push(state, TextKey::PrincessSaved);
        Push(state, TextKey::AdventureGoesOn);
    } else {
        Push(state, TextKey::AnotherDragon);
    }
}

// Rewards are applied at once; the messages follow.
void DefeatMonster(GameState& state, TickEvents& events) {
    const Encounter& monster = CurrentSlot(state);
    state.exp += monster.exp;
    ChangeGold(state, monster.gold);
    if (monster.gold > 0) {
        events.Note(GameEvent::GoldGained);
    }
    Push(state, TextKey::MonsterDefeated, {monster.exp, monster.gold});
    LevelUp(state, events);
    if (state.stage == dragonStage) {
        PushDragonLines(state);
        events.Note(GameEvent::DragonFalls);
    } else {
        events.Note(GameEvent::MonsterFalls);
    }
}

void StrikeBack(GameState& state, TickEvents& events) {
    const int32_t damage = CurrentSlot(state).attack - state.defence - 2 * state.level;
    ChangeHp(state, -(damage > 0 ? damage : 0));
    events.Note(GameEvent::KnightStruck);
    if (state.hp == 0) {
        Push(state, TextKey::Defeat);
        events.Note(GameEvent::HeroFalls);
    }
}

// True if the purse holds the price; a refusal is noted.
bool CanPay(const GameState& state, TickEvents& events, int32_t price) {
    if (state.gold >= price) {
        return true;
    }
    events.Note(GameEvent::PurchaseRefused);
    return false;
}

// Pays the price if the purse holds it; true, and the purchase noted, if it did.
bool Buy(GameState& state, TickEvents& events, int32_t price) {
    if (!CanPay(state, events, price)) {
        return false;
    }
    ChangeGold(state, -price);
    events.Note(GameEvent::Purchase);
    return true;
}

// ---- button actions

// Walking away from a monster is fleeing; the dragon cannot be left.
void Leave(GameState& state, TickEvents& events) {
    if (state.stage == dragonStage) {
        return;
    }
    if (!AtPlace(state)) {
        events.Note(GameEvent::Fled);
    }
    EnterScreen(state, ScreenState::Depart);
}

void BuyPotion(GameState& state, TickEvents& events) {
    if (Buy(state, events, potionPrice)) {
        ChangePotions(state, 1);
    }
}

void BuyHealing(GameState& state, TickEvents& events) {
    if (Buy(state, events, servicePrice)) {
        ChangeHp(state, healingAmount);
    }
}

void BuyAttack(GameState& state, TickEvents& events) {
    if (Buy(state, events, servicePrice)) {
        IncreaseAttack(state);
        events.Note(GameEvent::Forged);
    }
}

void BuyDefence(GameState& state, TickEvents& events) {
    if (Buy(state, events, servicePrice)) {
        IncreaseDefence(state);
        events.Note(GameEvent::Forged);
    }
}

void Train(GameState& state, TickEvents& events) {
    if (CanPay(state, events, servicePrice)) {
        ChangeGold(state, -servicePrice);
        state.exp += trainingExp;
        events.Note(GameEvent::Trained);
        LevelUp(state, events);
    }
}

// An odd draw wins. The Russian message names $20 although the win is 10.
void PlayDice(GameState& state, TickEvents& events) {
    if (!CanPay(state, events, dicePrice)) {
        return;
    }
    events.Note(GameEvent::DiceRolled);
    if (Random() & 1) {
        ChangeGold(state, diceStake);
        Push(state, TextKey::DiceWon);
        events.Note(GameEvent::DiceWon);
    } else {
        ChangeGold(state, -diceStake);
        Push(state, TextKey::DiceLost);
        events.Note(GameEvent::DiceLost);
    }
}

// The hero strikes first; a surviving monster strikes back.
void Attack(GameState& state, TickEvents& events) {
    if (state.hp <= 0) {
        return;
    }
    ChangeMonsterHp(state, -(6 * state.level + state.attack));
    events.Note(GameEvent::KnightStrikes);
    if (CurrentSlot(state).hp > 0) {
        StrikeBack(state, events);
    } else {
        DefeatMonster(state, events);
    }
}

void DrinkPotion(GameState& state, TickEvents& events) {
    if (state.potions > 0) {
        ChangePotions(state, -1);
        ChangeHp(state, potionHealing);
        events.Note(GameEvent::PotionDrunk);
    }
}

// ---- the three buttons of each kind of encounter

using ButtonAction = void (*)(GameState&, TickEvents&);

struct EncounterButton {
    TextKey label;
    ButtonAction action;
};

using ButtonRow = EncounterButton[buttonCount];

const ButtonRow shopButtons = {
    {TextKey::ShopPotionButton, BuyPotion},
    {TextKey::ShopHealingButton, BuyHealing},
    {TextKey::ShopLeaveButton, Leave},
};
const ButtonRow forgeButtons = {
    {TextKey::ForgeAttackButton, BuyAttack},
    {TextKey::ForgeDefenceButton, BuyDefence},
    {TextKey::ForgeLeaveButton, Leave},
};
const ButtonRow campButtons = {
    {TextKey::CampTrainingButton, Train},
    {TextKey::CampDiceButton, PlayDice},
    {TextKey::CampLeaveButton, Leave},
};
const ButtonRow monsterButtons = {
    {TextKey::AttackButton, Attack},
    {TextKey::PotionButton, DrinkPotion},
    {TextKey::FleeButton, Leave},
};

const ButtonRow* const buttonRows[] = {&shopButtons, &forgeButtons, &campButtons, &monsterButtons};

int ButtonRowOf(EncounterType type) {
    switch (type) {
    case EncounterType::WizardShop:
        return 0;
    case EncounterType::Forge:
        return 1;
    case EncounterType::MercenaryCamp:
        return 2;
    default:
        return 3;
    }
}

const ButtonRow& ButtonsOf(EncounterType type) {
    return *buttonRows[ButtonRowOf(type)];
}


// ---- one function per screen

void StartNewGame(GameState& state) {
    state.world = 1;
    state.stage = 0;
    state.exp = 0;
    state.level = 1;
    state.hp = 100;
    state.gold = 100;
    state.potions = 3;
    state.attack = 4;
    state.defence = 1;
    ClearPopups(state);
}

void UpdateTitle(GameState& state, ie::XInputEngine& input, TickEvents& events) {
    if (LeftPressed(input)) {
        events.Note(GameEvent::ButtonPressed);
        StartNewGame(state);
        EnterScreen(state, ScreenState::WorldIntro);
    }
}

void UpdateWorldIntro(GameState& state) {
    if (CountDown(state, walkStep)) {
        EnterScreen(state, ScreenState::Travel);
        GenerateWorld(state);
    }
}

void UpdateTravel(GameState& state, TickEvents& events) {
    if (CountDown(state, walkStep)) {
        state.stage += 1;
        EnterScreen(state, ScreenState::Arrive);
        if (state.stage == dragonStage) {
            events.Note(GameEvent::DragonAppears);
        }
    }
}

void UpdateArrive(GameState& state) {
    if (CountDown(state, panelStep)) {
        EnterScreen(state, ScreenState::InEncounter);
    }
}

void PressEncounterButton(GameState& state, ie::XInputEngine& input, TickEvents& events, int x,
                          int y) {
    if (!LeftReleased(input)) {
        return;
    }
    const ButtonRow& buttons = ButtonsOf(CurrentSlot(state).type);
    for (int i = 0; i < buttonCount; i++) {
        if (ButtonBox(i).Contains(x, y)) {
            events.Note(GameEvent::ButtonPressed);
            buttons[i].action(state, events);
            return;
        }
    }
}

// The last dismissal ends the encounter, except at the camp, which stays open.
void DismissMessage(GameState& state, ie::XInputEngine& input, TickEvents& events, int x, int y) {
    if (!LeftReleased(input) || !dismissArea.Contains(x, y)) {
        return;
    }
    events.Note(GameEvent::ButtonPressed);
    state.messages.PopMessage();
    if (state.messages.IsEmpty() && CurrentSlot(state).type != EncounterType::MercenaryCamp) {
        EnterScreen(state, state.hp != 0 ? ScreenState::Depart : ScreenState::GameOver);
    }
}

void UpdateEncounter(GameState& state, ie::XInputEngine& input, TickEvents& events) {
    const int x = input.MouseX() / 2;
    const int y = input.MouseY() / 2;
    if (state.messages.IsEmpty()) {
        PressEncounterButton(state, input, events, x, y);
    }
    if (!state.messages.IsEmpty()) {
        DismissMessage(state, input, events, x, y);
    }
}

void UpdateDepart(GameState& state) {
    if (!CountDown(state, panelStep)) {
        return;
    }
    if (state.stage == dragonStage) {
        state.world += 1;
        state.stage = 0;
        EnterScreen(state, ScreenState::WorldIntro);
    } else {
        EnterScreen(state, ScreenState::Travel);
    }
}

void UpdateGameOver(GameState& state, ie::XInputEngine& input, TickEvents& events) {
    if (LeftPressed(input)) {
        events.Note(GameEvent::ButtonPressed);
        EnterScreen(state, ScreenState::Title);
    }
}

}  // namespace

bool UpdateGame(GameState& state, ie::XInputEngine& input) {
    TickEvents unheard;
    return UpdateGame(state, input, unheard);
}

bool UpdateGame(GameState& state, ie::XInputEngine& input, TickEvents& events) {
    switch (state.screen) {
    case ScreenState::Title:
        UpdateTitle(state, input, events);
        break;
    case ScreenState::WorldIntro:
        UpdateWorldIntro(state);
        break;
    case ScreenState::Travel:
        UpdateTravel(state, events);
        break;
    case ScreenState::Arrive:
        UpdateArrive(state);
        break;
    case ScreenState::InEncounter:
        UpdateEncounter(state, input, events);
        break;
    case ScreenState::Depart:
        UpdateDepart(state);
        break;
    case ScreenState::GameOver:
        UpdateGameOver(state, input, events);
        break;
    }
    return true;
}

void ChooseLanguage(GameState& state, Language language) {
    state.language = language;
    NameSlots(state);
}

const std::string& ButtonLabel(EncounterType type, int button, Language language) {
    static const std::string none;
    if (button < 0 || button >= buttonCount) {
        return none;
    }
    return Say(ButtonsOf(type)[button].label, language);
}
