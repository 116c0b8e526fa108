#pragma once

// What the benchmark's programs show and how they are played: one encounter
// scene and an input whose pointer stands still.
#include "game/GameState.h"
#include "game/Popups.h"
#include "game/Random.h"
#include "ie/XInputEngine.h"

// World 1, stage 1 with a skeleton's encounter panel open, the hero a little
// hurt and richer: the same frame on every run.
inline GameState EncounterOpen() {
    GameState state;
    FixRandomSeed(7);
    GenerateWorld(state);
    state.slots[1] = EncounterTable()[static_cast<int>(EncounterType::Skeleton)];
    state.stage = 1;
    state.screen = ScreenState::InEncounter;
    state.timer = 100;
    ChangeHp(state, -3);
    ChangeGold(state, 20);
    return state;
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
