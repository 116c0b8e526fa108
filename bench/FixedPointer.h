#pragma once

#include "ie/XInputEngine.h"

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
