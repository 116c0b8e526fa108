#pragma once

#include <cstdint>
#include <map>

#include "ie/XInputEngine.h"

namespace ie {

// Input fed by FLTK 1.3 events: 256 keys indexed by PC scan code, 4 mouse
// buttons and the pointer in window pixels. Events write the pending state;
// Update makes it current and the old current state previous.
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
    void SetPendingButton(int toolkitButton, uint8_t down);
    void SetPendingKey(int toolkitKey, uint8_t down);

    std::map<int, int> keyMap;  // toolkit key code -> key index
    int currentX;
    int currentY;
    int pendingX;
    int pendingY;
    uint8_t currentKeys[keyCount];
    uint8_t previousKeys[keyCount];
    uint8_t pendingKeys[keyCount];
    uint8_t currentButtons[buttonCount];
    uint8_t previousButtons[buttonCount];
    uint8_t pendingButtons[buttonCount];
};

}  // namespace ie
