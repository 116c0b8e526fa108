#include "ie/InputLatch.h"

#include <cstring>

namespace ie {

namespace {

bool StateIs(const uint8_t* states, uint32_t index, uint32_t count) {
    return index < count && states[index] != 0;
}

}  // namespace

InputLatch::InputLatch() {
    std::memset(&current, 0, sizeof(current));
    previous = current;
    pending = current;
}

void InputLatch::SetPendingKey(int index, bool down) {
    if (index >= 0 && index < keyCount) {
        SetPending(index, down ? 1 : 0);
    }
}

void InputLatch::SetPendingButton(int index, bool down) {
    if (index >= 0 && index < buttonCount) {
        SetPending(keyCount + index, down ? 1 : 0);
    }
}

// True when the pending state has a key or button change that no tick has
// seen yet, at index or, for index -1, anywhere.
bool InputLatch::HasUnseenChange(int index) const {
    const Snapshot& latest = held.empty() ? current : held.back();
    if (index >= 0) {
        return pending.down[index] != latest.down[index];
    }
    return std::memcmp(pending.down, latest.down, sizeof(pending.down)) != 0;
}

// An unseen change that the next event would hide, by undoing it or by moving
// the pointer away from where it happened, gets a tick of its own: the
// pending state waits in the queue. Past the limit, changes merge as they
// used to.
void InputLatch::HoldUnseenChange(int index) {
    if (held.size() < heldLimit && HasUnseenChange(index)) {
        held.push_back(pending);
    }
}

void InputLatch::SetPending(int index, uint8_t down) {
    if (pending.down[index] != down) {
        HoldUnseenChange(index);
        pending.down[index] = down;
    }
}

void InputLatch::SetPendingPointer(int x, int y) {
    if (pending.x != x || pending.y != y) {
        HoldUnseenChange(-1);
        pending.x = x;
        pending.y = y;
    }
}

void InputLatch::Latch() {
    previous = current;
    if (held.empty()) {
        current = pending;
        return;
    }
    current = held.front();
    held.pop_front();
}

bool InputLatch::KeyChanged(uint32_t key, bool was, bool is) const {
    return key < keyCount && KeyWasDown(key) == was && KeyIsDown(key) == is;
}

bool InputLatch::ButtonChanged(uint32_t button, bool was, bool is) const {
    return button < buttonCount && ButtonWasDown(button) == was && ButtonIsDown(button) == is;
}

bool InputLatch::KeyWasDown(uint32_t key) const {
    return StateIs(previous.down, key, keyCount);
}

bool InputLatch::KeyIsDown(uint32_t key) const {
    return StateIs(current.down, key, keyCount);
}

bool InputLatch::ButtonWasDown(uint32_t button) const {
    return StateIs(previous.down + keyCount, button, buttonCount);
}

bool InputLatch::ButtonIsDown(uint32_t button) const {
    return StateIs(current.down + keyCount, button, buttonCount);
}

}  // namespace ie
