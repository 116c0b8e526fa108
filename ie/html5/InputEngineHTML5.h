#pragma once

#include <emscripten/html5.h>

#include <cstdint>

#include "ie/InputLatch.h"
#include "ie/XInputEngine.h"

namespace ie {

// Input fed by the page's events: the keys by their place on the keyboard
// (the DOM's KeyboardEvent.code, DomKeys.h) under the scan codes the desktop
// engine uses, the left and right mouse buttons, a touch as the left button, and the
// pointer in pixels of the canvas's 640x480 drawing buffer at whatever size
// the canvas is shown. The engine listens from its construction to its
// destruction; the state is latched per tick as on the desktop (InputLatch).
// Its destruction removes every Emscripten handler of the events it listens
// to on the canvas and the window, others' too: a shell listens elsewhere.
class InputEngineHTML5 final : public XInputEngine {
public:
    static const int keyCount = InputLatch::keyCount;
    static const int buttonCount = InputLatch::buttonCount;

    // The canvas as a CSS selector, e.g. "#canvas"; its drawing buffer's size.
    InputEngineHTML5(const char* canvas, int bufferWidth, int bufferHeight);
    ~InputEngineHTML5();
    InputEngineHTML5(const InputEngineHTML5&) = delete;
    InputEngineHTML5& operator=(const InputEngineHTML5&) = delete;

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
    static EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void* engine);
    static EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* event, void* engine);
    static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* engine);

    void Listen(bool on);
    void SetPointerFromClient(double clientX, double clientY);
    void TakeTouch(int type, const EmscriptenTouchEvent& event);

    const char* canvas;
    const int bufferWidth;
    const int bufferHeight;
    bool buttonHeld[2] = {false, false};  // pressed on the canvas, not released yet
    long touchId = -1;                    // the touch that acts as the left button
    InputLatch latch;
};

}  // namespace ie
