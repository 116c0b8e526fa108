#include "ie/ZInputEngineAdapter.h"

#include <climits>

namespace ie {

namespace {

// Divides first, then multiplies, in double precision, and truncates:
// 123 / 480 * 480 lands just below 123 and gives 122. An empty rectangle
// maps everything to 0, and results beyond the int range stop at its ends.
int MapToGame(int offset, int areaSize, int gameSize) {
    if (areaSize == 0) {
        return 0;
    }
    const double mapped = static_cast<double>(offset) / areaSize * gameSize;
    if (mapped <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    if (mapped >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(mapped);
}

}  // namespace

ZInputEngineAdapter::ZInputEngineAdapter(XInputEngine* inner)
    : inner(inner), areaX(0), areaY(0), areaWidth(0), areaHeight(0),
      cursorX(0), cursorY(0), lastInnerX(0), lastInnerY(0), clamp(false) {
    ResetCursor();
}

void ZInputEngineAdapter::SetMouseArea(int x, int y, int width, int height, bool clamp) {
    areaX = x;
    areaY = y;
    areaWidth = width;
    areaHeight = height;
    this->clamp = clamp;
    ResetCursor();
}

void ZInputEngineAdapter::ResetCursor() {
    cursorX = lastInnerX = inner->MouseX();
    cursorY = lastInnerY = inner->MouseY();
}

void ZInputEngineAdapter::Update() {
    inner->Update();
    const int innerX = inner->MouseX();
    const int innerY = inner->MouseY();
    cursorX += innerX - lastInnerX;
    cursorY += innerY - lastInnerY;
    lastInnerX = innerX;
    lastInnerY = innerY;
    if (clamp) {
        ClampCursor();
    }
}

// The far edges are inclusive: the cursor may stand on x + width.
void ZInputEngineAdapter::ClampCursor() {
    if (cursorX < areaX) {
        cursorX = areaX;
    }
    if (cursorY < areaY) {
        cursorY = areaY;
    }
    if (cursorX >= areaX + areaWidth) {
        cursorX = areaX + areaWidth;
    }
    if (cursorY >= areaY + areaHeight) {
        cursorY = areaY + areaHeight;
    }
}

bool ZInputEngineAdapter::KeyChanged(uint32_t key, bool was, bool is) {
    return inner->KeyChanged(key, was, is);
}

bool ZInputEngineAdapter::KeyWasDown(uint32_t key) {
    return inner->KeyWasDown(key);
}

bool ZInputEngineAdapter::KeyIsDown(uint32_t key) {
    return inner->KeyIsDown(key);
}

int ZInputEngineAdapter::MouseX() {
    return MapToGame(cursorX - areaX, areaWidth, gameWidth);
}

int ZInputEngineAdapter::MouseY() {
    return MapToGame(cursorY - areaY, areaHeight, gameHeight);
}

bool ZInputEngineAdapter::ButtonChanged(uint32_t button, bool was, bool is) {
    return inner->ButtonChanged(button, was, is);
}

bool ZInputEngineAdapter::ButtonWasDown(uint32_t button) {
    return inner->ButtonWasDown(button);
}

bool ZInputEngineAdapter::ButtonIsDown(uint32_t button) {
    return inner->ButtonIsDown(button);
}

}  // namespace ie
