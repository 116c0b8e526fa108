#pragma once

#include <bitset>

// What happened in one tick of the rules, for whatever follows them (the
// sounds). The rules note events; they never read them back, and nothing of
// the record (game/GameState.h) depends on them.
enum class GameEvent : int {
    ButtonPressed,    // an encounter's button, OK, or the title's or game over's click
    KnightStrikes,
    KnightStruck,     // a monster strikes back, whatever the armour keeps off
    MonsterFalls,     // any monster but the dragon
    GoldGained,       // the gold a fallen monster leaves
    PotionDrunk,
    Purchase,         // a potion, healing, attack or defence paid for
    PurchaseRefused,  // too little gold at the shop, the forge or the camp
    DiceRolled,
    DiceWon,
    DiceLost,
    Trained,
    Forged,           // +1 attack or defence
    LevelUp,
    Fled,
    DragonAppears,    // on arriving at the dragon
    DragonFalls,
    HeroFalls,
};

const int gameEventCount = static_cast<int>(GameEvent::HeroFalls) + 1;

// The events of one tick, each noted at most once.
class TickEvents {
public:
    void Note(GameEvent event) { noted.set(Index(event)); }
    bool Has(GameEvent event) const { return noted.test(Index(event)); }
    bool IsEmpty() const { return noted.none(); }

private:
    static size_t Index(GameEvent event) { return static_cast<size_t>(event); }

    std::bitset<gameEventCount> noted;
};
