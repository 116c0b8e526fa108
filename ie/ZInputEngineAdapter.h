#pragma once

#include <cstdint>

#include "ie/XInputEngine.h"

namespace ie {

// Reports the pointer of an inner engine in 640x480 game coordinates,
// measured against a rectangle of the inner engine's pointer space, and can
// hold the pointer inside that rectangle. Keys and buttons pass through.
class ZInputEngineAdapter final : public XInputEngine {
public:
    static const int gameWidth = 640;
    static const int gameHeight = 480;

    explicit ZInputEngineAdapter(XInputEngine* inner);

    // The rectangle must have a non-zero size before MouseX or MouseY.
    void SetMouseArea(int x, int y, int width, int height, bool clamp);

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
    void ResetCursor();
    void ClampCursor();

    XInputEngine* inner;  // not owned
    int areaX;
    int areaY;
    int areaWidth;
    int areaHeight;
    int cursorX;
    int cursorY;
    int lastInnerX;
    int lastInnerY;
    bool clamp;
};

}  // namespace ie
