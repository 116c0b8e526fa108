#pragma once

// What the benchmark's programs show and how they are played: the scene the
// game reaches with the benchmark's seed and click, where the benchmark
// clicks, and an input whose pointer stands still.
#include "game/GameState.h"
#include "game/Random.h"
#include "ie/XInputEngine.h"
#include "tests/game/GameDriver.h"

// The seed the benchmark fixes for the game's random numbers (DUNMARK_SEED)
// and for the recording: world 1's first encounter is then the mercenary
// camp, and its dice leave the hero at least $10 for diceRounds plays in a row.
const unsigned benchSeed = 13;
const int diceRounds = 500;

// Where the benchmark clicks, in virtual-screen pixels: the title screen's
// centre; the camp's dice button below the OK area; the OK area.
const int titleX = 160, titleY = 120;
const int diceX = 160, diceY = 155;
const int okX = 160, okY = 140;

// The game after the benchmark's click on the title screen, when world 1's
// first encounter has opened: what the game shows from then on.
inline GameState FirstEncounter(unsigned seed) {
    FixRandomSeed(seed);
    gametest::GameDriver driver;
    driver.ClickAt(titleX, titleY);
    driver.RunUntil(ScreenState::InEncounter);
    return driver.state;
}

// True when the seed's first encounter is the camp and its dice, played and
// dismissed diceRounds times, always have their $10.
inline bool DiceLast(unsigned seed) {
    gametest::GameDriver driver;
    driver.state = FirstEncounter(seed);
    if (driver.state.slots[driver.state.stage].type != EncounterType::MercenaryCamp) {
        return false;
    }
    for (int round = 0; round < diceRounds; round++) {
        if (driver.state.gold < 10) {
            return false;
        }
        driver.ClickAt(diceX, diceY);
        driver.ClickAt(okX, okY);
    }
    return driver.state.screen == ScreenState::InEncounter;
}

// Input for the benchmark's programs: the pointer rests at one point of the
// window, no button or key is ever down.
class FixedPointer final : public ie::XInputEngine {
public:
    FixedPointer(int x, int y) : x(x), y(y) {}
    void Update() override {}
    bool KeyChanged(uint32_t, bool, bool) override { return false; }
    bool KeyWasDown(uint32_t) override { return false; }
    bool KeyIsDown(uint32_t) override { return false; }
    int MouseX() override { return x; }
    int MouseY() override { return y; }
    bool ButtonChanged(uint32_t, bool, bool) override { return false; }
    bool ButtonWasDown(uint32_t) override { return false; }
    bool ButtonIsDown(uint32_t) override { return false; }

private:
    const int x;
    const int y;
};
