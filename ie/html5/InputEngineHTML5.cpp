#include "ie/html5/InputEngineHTML5.h"

#include <emscripten.h>

#include <cmath>
#include <cstring>

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

struct KeyEntry {
    const char* code;
    int index;
};

// The keys the desktop engine reports, under their scan codes (PC set 1).
const KeyEntry keyTable[] = {
    {"KeyA", 30},         {"KeyB", 48},        {"KeyC", 46},         {"KeyD", 32},
    {"KeyE", 18},         {"KeyF", 33},        {"KeyG", 34},         {"KeyH", 35},
    {"KeyI", 23},         {"KeyJ", 36},        {"KeyK", 37},         {"KeyL", 38},
    {"KeyM", 50},         {"KeyN", 49},        {"KeyO", 24},         {"KeyP", 25},
    {"KeyQ", 16},         {"KeyR", 19},        {"KeyS", 31},         {"KeyT", 20},
    {"KeyU", 22},         {"KeyV", 47},        {"KeyW", 17},         {"KeyX", 45},
    {"KeyY", 21},         {"KeyZ", 44},        {"Digit1", 2},        {"Digit2", 3},
    {"Digit3", 4},        {"Digit4", 5},       {"Digit5", 6},        {"Digit6", 7},
    {"Digit7", 8},        {"Digit8", 9},       {"Digit9", 10},       {"Digit0", 11},
    {"Minus", 12},        {"Equal", 13},       {"BracketLeft", 26},  {"BracketRight", 27},
    {"Semicolon", 39},    {"Quote", 40},       {"Comma", 51},        {"Period", 52},
    {"Slash", 53},        {"Backslash", 43},   {"Space", 57},        {"Backspace", 14},
    {"Tab", 15},          {"Enter", 28},       {"Pause", 197},       {"ScrollLock", 70},
    {"Escape", 1},        {"Home", 199},       {"ArrowLeft", 203},   {"ArrowUp", 200},
    {"ArrowRight", 205},  {"ArrowDown", 208},  {"PageUp", 201},      {"PageDown", 209},
    {"End", 207},         {"Insert", 210},     {"F1", 59},           {"F2", 60},
    {"F3", 61},           {"F4", 62},          {"F5", 63},           {"F6", 64},
    {"F7", 65},           {"F8", 66},          {"F9", 67},           {"F10", 68},
    {"ShiftLeft", 42},    {"ShiftRight", 54},  {"ControlLeft", 29},  {"ControlRight", 157},
    {"CapsLock", 58},     {"AltLeft", 56},     {"AltRight", 184},    {"Delete", 211},
};

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

int InputEngineHTML5::KeyIndex(const char* code) {
    for (const KeyEntry& entry : keyTable) {
        if (std::strcmp(entry.code, code) == 0) {
            return entry.index;
        }
    }
    return -1;
}

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
    const int index = KeyIndex(event->code);
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
