#include "ie/html5/InputEngineHTML5.h"

#include "ie/html5/DomKeys.h"

#include <emscripten.h>

#include <cmath>

// The canvas's box on the page, in CSS pixels: left, top, width, height. The
// selector is ASCII, read byte by byte: the runtime's string helpers are
// not available to this code in every Emscripten release.
EM_JS(void, dm_canvas_box, (const char* selector, double* box), {
    let text = "";
    for (let at = selector; HEAPU8[at] != 0; at++) text += String.fromCharCode(HEAPU8[at]);
    const element = document.querySelector(text);
    const rect = element ? element.getBoundingClientRect() : {left : 0, top : 0, width : 0, height : 0};
    HEAPF64[(box >> 3) + 0] = rect.left;
    HEAPF64[(box >> 3) + 1] = rect.top;
    HEAPF64[(box >> 3) + 2] = rect.width;
    HEAPF64[(box >> 3) + 3] = rect.height;
});

namespace ie {

namespace {

// The DOM numbers its buttons 0 left, 1 middle, 2 right; the engine reports
// left as 0 and right as 1, as on the desktop.
int ButtonIndex(unsigned short domButton) {
    if (domButton == 0) {
        return 0;
    }
    return domButton == 2 ? 1 : -1;
}

const EmscriptenTouchPoint* ChangedTouch(const EmscriptenTouchEvent& event, long id) {
    for (int i = 0; i < event.numTouches; ++i) {
        const EmscriptenTouchPoint& point = event.touches[i];
        if (point.isChanged && (id < 0 || point.identifier == id)) {
            return &point;
        }
    }
    return nullptr;
}

}  // namespace

InputEngineHTML5::InputEngineHTML5(const char* canvas, int bufferWidth, int bufferHeight)
    : canvas(canvas), bufferWidth(bufferWidth), bufferHeight(bufferHeight) {
    Listen(true);
}

InputEngineHTML5::~InputEngineHTML5() {
    Listen(false);
}

// Presses count on the canvas only; moves and releases anywhere in the
// window, so that a button released off the canvas is released in the game
// too, as the desktop's toolkit does for a press in its window.
void InputEngineHTML5::Listen(bool on) {
    void* const self = on ? this : nullptr;
    const em_mouse_callback_func mouse = on ? OnMouse : nullptr;
    const em_touch_callback_func touch = on ? OnTouch : nullptr;
    const em_key_callback_func key = on ? OnKey : nullptr;
    const char* const window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_mousedown_callback(canvas, self, EM_TRUE, mouse);
    emscripten_set_mouseup_callback(window, self, EM_TRUE, mouse);
    emscripten_set_mousemove_callback(window, self, EM_TRUE, mouse);
    emscripten_set_touchstart_callback(canvas, self, EM_TRUE, touch);
    emscripten_set_touchmove_callback(canvas, self, EM_TRUE, touch);
    emscripten_set_touchend_callback(canvas, self, EM_TRUE, touch);
    emscripten_set_touchcancel_callback(canvas, self, EM_TRUE, touch);
    emscripten_set_keydown_callback(window, self, EM_TRUE, key);
    emscripten_set_keyup_callback(window, self, EM_TRUE, key);
}

// Client coordinates to pixels of the drawing buffer, truncated as the
// toolkit's integer event coordinates are. (Emscripten's events give them as
// whole numbers in older releases and as doubles in newer ones.)
void InputEngineHTML5::SetPointerFromClient(double clientX, double clientY) {
    double box[4];
    dm_canvas_box(canvas, box);
    if (box[2] <= 0.0 || box[3] <= 0.0) {
        return;
    }
    const double x = (clientX - box[0]) * bufferWidth / box[2];
    const double y = (clientY - box[1]) * bufferHeight / box[3];
    latch.SetPendingPointer(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

EM_BOOL InputEngineHTML5::OnMouse(int type, const EmscriptenMouseEvent* event, void* data) {
    InputEngineHTML5& engine = *static_cast<InputEngineHTML5*>(data);
    engine.SetPointerFromClient(event->clientX, event->clientY);
    const int button = ButtonIndex(event->button);
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN && button >= 0) {
        engine.buttonHeld[button] = true;
        engine.latch.SetPendingButton(button, true);
        return EM_TRUE;
    }
    if (type == EMSCRIPTEN_EVENT_MOUSEUP && button >= 0 && engine.buttonHeld[button]) {
        engine.buttonHeld[button] = false;
        engine.latch.SetPendingButton(button, false);
    }
    return EM_FALSE;
}

// One touch at a time is the left button: its start presses, its end or
// cancellation releases. Every touch event is taken (its default prevented),
// so the browser neither scrolls nor makes mouse events of it as well.
EM_BOOL InputEngineHTML5::OnTouch(int type, const EmscriptenTouchEvent* event, void* data) {
    static_cast<InputEngineHTML5*>(data)->TakeTouch(type, *event);
    return EM_TRUE;
}

void InputEngineHTML5::TakeTouch(int type, const EmscriptenTouchEvent& event) {
    const bool starting = type == EMSCRIPTEN_EVENT_TOUCHSTART;
    if (starting && touchId >= 0) {
        return;
    }
    const EmscriptenTouchPoint* const point = ChangedTouch(event, starting ? -1 : touchId);
    if (point == nullptr) {
        return;
    }
    SetPointerFromClient(point->clientX, point->clientY);
    if (starting) {
        touchId = point->identifier;
        latch.SetPendingButton(0, true);
    } else if (type != EMSCRIPTEN_EVENT_TOUCHMOVE) {
        touchId = -1;
        latch.SetPendingButton(0, false);
    }
}

// Keys are noted, never taken: the browser's own shortcuts keep working.
EM_BOOL InputEngineHTML5::OnKey(int type, const EmscriptenKeyboardEvent* event, void* data) {
    InputEngineHTML5& engine = *static_cast<InputEngineHTML5*>(data);
    const int index = DomKeyIndex(event->code);
    if (index >= 0 && !event->repeat) {
        engine.latch.SetPendingKey(index, type == EMSCRIPTEN_EVENT_KEYDOWN);
    }
    return EM_FALSE;
}

void InputEngineHTML5::Update() {
    latch.Latch();
}

bool InputEngineHTML5::KeyChanged(uint32_t key, bool was, bool is) {
    return latch.KeyChanged(key, was, is);
}

bool InputEngineHTML5::KeyWasDown(uint32_t key) {
    return latch.KeyWasDown(key);
}

bool InputEngineHTML5::KeyIsDown(uint32_t key) {
    return latch.KeyIsDown(key);
}

int InputEngineHTML5::MouseX() {
    return latch.MouseX();
}

int InputEngineHTML5::MouseY() {
    return latch.MouseY();
}

bool InputEngineHTML5::ButtonChanged(uint32_t button, bool was, bool is) {
    return latch.ButtonChanged(button, was, is);
}

bool InputEngineHTML5::ButtonWasDown(uint32_t button) {
    return latch.ButtonWasDown(button);
}

bool InputEngineHTML5::ButtonIsDown(uint32_t button) {
    return latch.ButtonIsDown(button);
}

}  // namespace ie
