#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>

#include "ie/XInputEngine.h"

namespace ie {

// Input fed by FLTK 1.3 events: 256 keys indexed by PC scan code, 4 mouse
// buttons and the pointer in window pixels. Events write the pending state;
// Update makes it current and the old current state previous. Every key or
// button change is seen by a tick, with the pointer where it happened: a press
// and its release that both arrive between two ticks are seen by the next
// tick and the one after.
class InputEngineFLTK13 final : public XInputEngine {
public:
    static const int keyCount = 256;
    static const int buttonCount = 4;

    InputEngineFLTK13();

    // Takes one toolkit event; 1 for button and key events, 0 for the rest.
    int HandleEvent(int event);

    void Update() override;
    bool KeyChanged(uint32_t key, bool was, bool is) override;
    bool KeyWasDown(uint32_t key) override;
    bool KeyIsDown(uint32_t key) override;
    int MouseX() override;
    int MouseY() override;
    bool ButtonChanged(uint32_t button, bool was, bool is) override;
    bool ButtonWasDown(uint32_t button) override;
    bool ButtonIsDown(uint32_t button) override;

private:
    static const int stateCount = keyCount + buttonCount;  // keys, then buttons
    static const size_t heldLimit = 32;

    // What one tick sees.
    struct Snapshot {
        int x;
        int y;
        uint8_t down[stateCount];
    };

    void SetPendingButton(int toolkitButton, uint8_t down);
    void SetPendingKey(int toolkitKey, uint8_t down);
    void SetPending(int index, uint8_t down);
    void SetPendingPointer(int x, int y);
    bool HasUnseenChange(int index) const;
    void HoldUnseenChange(int index);

    std::map<int, int> keyMap;  // toolkit key code -> key index
    Snapshot current;
    Snapshot previous;
    Snapshot pending;
    std::deque<Snapshot> held;  // waiting for the next ticks, oldest first
};

}  // namespace ie
