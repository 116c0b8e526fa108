#pragma once

#include <cstdint>
#include <map>

#include "ie/InputLatch.h"
#include "ie/XInputEngine.h"

namespace ie {

// Input fed by FLTK 1.3 events: 256 keys indexed by PC scan code, 4 mouse
// buttons and the pointer in window pixels. Events write the pending state;
// Update makes it current and the old current state previous. Every key or
// button change is seen by a tick (InputLatch).
class InputEngineFLTK13 final : public XInputEngine {
public:
    static const int keyCount = InputLatch::keyCount;
    static const int buttonCount = InputLatch::buttonCount;

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
    void SetPendingButton(int toolkitButton, bool down);
    void SetPendingKey(int toolkitKey, bool down);

    std::map<int, int> keyMap;  // toolkit key code -> key index
    InputLatch latch;
};

}  // namespace ie
