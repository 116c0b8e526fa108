#pragma once

#include <functional>
#include <string>

#include "game/Events.h"
#include "game/GameState.h"
#include "game/Rules.h"
#include "ie/XInputEngine.h"
#include "ie/ZInputEngineAdapter.h"

namespace gametest {

// An inner input engine that the test moves and clicks by hand: what the
// test sets is pending until Update. Unlike the toolkit engine it keeps only
// the last state set between two ticks.
class FakePointer final : public ie::XInputEngine {
public:
    void MoveTo(int x, int y) {
        pendingX = x;
        pendingY = y;
    }
    void SetLeft(bool down) { pendingLeft = down; }

    void Update() override {
        x = pendingX;
        y = pendingY;
        wasLeft = isLeft;
        isLeft = pendingLeft;
    }
    bool KeyChanged(uint32_t, bool, bool) override { return false; }
    bool KeyWasDown(uint32_t) override { return false; }
    bool KeyIsDown(uint32_t) override { return false; }
    int MouseX() override { return x; }
    int MouseY() override { return y; }
    bool ButtonChanged(uint32_t button, bool was, bool is) override {
        return button == 0 && wasLeft == was && isLeft == is;
    }
    bool ButtonWasDown(uint32_t button) override { return button == 0 && wasLeft; }
    bool ButtonIsDown(uint32_t button) override { return button == 0 && isLeft; }

private:
    int x = 0;
    int y = 0;
    int pendingX = 0;
    int pendingY = 0;
    bool wasLeft = false;
    bool isLeft = false;
    bool pendingLeft = false;
};

// Plays a game the way the game thread does: each tick latches the input
// through the real pointer adapter, then runs the rules once. Positions are
// virtual-screen pixels (the window is twice as large).
class GameDriver {
public:
    GameDriver() { adapter.SetMouseArea(0, 0, 640, 480, false); }

    void Tick() {
        adapter.Update();
        TickEvents events;
        UpdateGame(state, adapter, events);
        if (afterTick) {
            afterTick(events);
        }
    }
    void Ticks(int count) {
        for (int i = 0; i < count; i++) {
            Tick();
        }
    }
    void MoveTo(int x, int y) { pointer.MoveTo(2 * x, 2 * y); }
    void PressAt(int x, int y) {
        MoveTo(x, y);
        pointer.SetLeft(true);
        Tick();
    }
    void ReleaseAt(int x, int y) {
        MoveTo(x, y);
        pointer.SetLeft(false);
        Tick();
    }
    void ClickAt(int x, int y) {
        PressAt(x, y);
        ReleaseAt(x, y);
    }
    // Low in encounter button 0, 1 or 2, below the OK area of a message.
    void ClickButton(int button) { ClickAt(80 + 80 * button, 155); }
    void Dismiss() { ClickAt(160, 140); }

    // Runs ticks until the screen is the one asked for; false if it never came.
    bool RunUntil(ScreenState screen, int limit = 1000) {
        for (int i = 0; i < limit && state.screen != screen; i++) {
            Tick();
        }
        return state.screen == screen;
    }

    // Puts the hero in front of the given encounter, ready for clicks.
    void StandAt(int stage, const Encounter& encounter) {
        state.stage = stage;
        state.slots[stage] = encounter;
        state.screen = ScreenState::InEncounter;
        state.timer = 100;
    }

    std::string Front() const { return state.messages.FrontText(state.language); }

    GameState state;
    std::function<void(const TickEvents&)> afterTick;  // hears each tick's events, if set
    FakePointer pointer;
    ie::ZInputEngineAdapter adapter{&pointer};
};

inline const Encounter& TableEntry(EncounterType type) {
    return EncounterTable()[static_cast<int>(type)];
}

}  // namespace gametest
