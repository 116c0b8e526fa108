#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace ie {

// The state every input engine keeps: 256 keys, 4 mouse buttons and the
// pointer. Events write the pending state; Latch makes it current and the old
// current state previous. Every key or button change is seen by a tick, with
// the pointer where it happened: a press and its release that both arrive
// between two ticks are seen by the next tick and the one after.
class InputLatch {
public:
    static const int keyCount = 256;
    static const int buttonCount = 4;

    InputLatch();

    void SetPendingKey(int index, bool down);
    void SetPendingButton(int index, bool down);
    void SetPendingPointer(int x, int y);

    void Latch();

    bool KeyChanged(uint32_t key, bool was, bool is) const;
    bool ButtonChanged(uint32_t button, bool was, bool is) const;
    bool KeyWasDown(uint32_t key) const;
    bool KeyIsDown(uint32_t key) const;
    bool ButtonWasDown(uint32_t button) const;
    bool ButtonIsDown(uint32_t button) const;
    int MouseX() const { return current.x; }
    int MouseY() const { return current.y; }

private:
    static const int stateCount = keyCount + buttonCount;  // keys, then buttons
    static const size_t heldLimit = 32;

    // What one tick sees.
    struct Snapshot {
        int x;
        int y;
        uint8_t down[stateCount];
    };

    void SetPending(int index, uint8_t down);
    bool HasUnseenChange(int index) const;
    void HoldUnseenChange(int index);

    Snapshot current;
    Snapshot previous;
    Snapshot pending;
    std::deque<Snapshot> held;  // waiting for the next ticks, oldest first
};

}  // namespace ie
