#include "ie/InputEngineFLTK13.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>


namespace ie {

namespace {

// The printable keys, each under the toolkit code of its character, with the
// scan code of the key on a PC keyboard.
const char printableKeys[] = "abcdefghijklmnopqrstuvwxyz1234567890-=[];',./\\ ";
const int printableIndices[] = {
    30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,  // a .. m
    49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44,  // n .. z
    2,  3,  4,  5,  6,  7,  8,  9,  10, 11,              // 1 .. 0
    12, 13, 26, 27, 39, 40, 51, 52, 53, 43, 57,          // - = [ ] ; ' , . / \ space
};
static_assert(sizeof(printableKeys) - 1 == sizeof(printableIndices) / sizeof(int),
              "one index per printable key");

struct KeyEntry {
    int toolkitKey;
    int index;
};

const KeyEntry specialKeys[] = {
    {FL_BackSpace, 14},    {FL_Tab, 15},          {FL_Enter, 28},
    {FL_Pause, 197},       {FL_Scroll_Lock, 70},  {FL_Escape, 1},
    {FL_Home, 199},        {FL_Left, 203},        {FL_Up, 200},
    {FL_Right, 205},       {FL_Down, 208},        {FL_Page_Up, 201},
    {FL_Page_Down, 209},   {FL_End, 207},         {FL_Insert, 210},
    {FL_F + 1, 59},        {FL_F + 2, 60},        {FL_F + 3, 61},
    {FL_F + 4, 62},        {FL_F + 5, 63},        {FL_F + 6, 64},
    {FL_F + 7, 65},        {FL_F + 8, 66},        {FL_F + 9, 67},
    {FL_F + 10, 68},       {FL_Shift_L, 42},      {FL_Shift_R, 54},
    {FL_Control_L, 29},    {FL_Control_R, 157},   {FL_Caps_Lock, 58},
    {FL_Alt_L, 56},        {FL_Alt_R, 184},       {FL_Delete, 211},
};

}  // namespace

InputEngineFLTK13::InputEngineFLTK13() {
    for (int i = 0; printableKeys[i] != '\0'; i++) {
        keyMap[static_cast<unsigned char>(printableKeys[i])] = printableIndices[i];
    }
    for (const KeyEntry& entry : specialKeys) {
        keyMap[entry.toolkitKey] = entry.index;
    }
}

int InputEngineFLTK13::HandleEvent(int event) {
    switch (event) {
    case FL_MOVE:
    case FL_DRAG:
        latch.SetPendingPointer(Fl::event_x(), Fl::event_y());
        return 0;
    case FL_PUSH:
    case FL_RELEASE:
        // The toolkit may report the motion that led here only afterwards.
        latch.SetPendingPointer(Fl::event_x(), Fl::event_y());
        SetPendingButton(Fl::event_button(), event == FL_PUSH);
        return 1;
    case FL_KEYDOWN:
        SetPendingKey(Fl::event_original_key(), true);
        return 1;
    case FL_KEYUP:
        SetPendingKey(Fl::event_original_key(), false);
        return 1;
    default:
        return 0;
    }
}

// Left is button 0, right is button 1; the middle button is not reported.
void InputEngineFLTK13::SetPendingButton(int toolkitButton, bool down) {
    if (toolkitButton == FL_LEFT_MOUSE) {
        latch.SetPendingButton(0, down);
    } else if (toolkitButton == FL_RIGHT_MOUSE) {
        latch.SetPendingButton(1, down);
    }
}

void InputEngineFLTK13::SetPendingKey(int toolkitKey, bool down) {
    const std::map<int, int>::const_iterator found = keyMap.find(toolkitKey);
    if (found != keyMap.end()) {
        latch.SetPendingKey(found->second, down);
    }
}

void InputEngineFLTK13::Update() {
    latch.Latch();
}

bool InputEngineFLTK13::KeyChanged(uint32_t key, bool was, bool is) {
    return latch.KeyChanged(key, was, is);
}

bool InputEngineFLTK13::KeyWasDown(uint32_t key) {
    return latch.KeyWasDown(key);
}

bool InputEngineFLTK13::KeyIsDown(uint32_t key) {
    return latch.KeyIsDown(key);
}

int InputEngineFLTK13::MouseX() {
    return latch.MouseX();
}

int InputEngineFLTK13::MouseY() {
    return latch.MouseY();
}

bool InputEngineFLTK13::ButtonChanged(uint32_t button, bool was, bool is) {
    return latch.ButtonChanged(button, was, is);
}

bool InputEngineFLTK13::ButtonWasDown(uint32_t button) {
    return latch.ButtonWasDown(button);
}

bool InputEngineFLTK13::ButtonIsDown(uint32_t button) {
    return latch.ButtonIsDown(button);
}

}  // namespace ie
