#include "ie/html5/DomKeys.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ie/InputEngineFLTK13.h"

namespace {

// The index the desktop engine gives a toolkit key, or -1.
int DesktopIndex(int toolkitKey) {
    ie::InputEngineFLTK13 engine;
    Fl::e_keysym = toolkitKey;
    Fl::e_original_keysym = toolkitKey;
    engine.HandleEvent(FL_KEYDOWN);
    engine.Update();
    for (uint32_t key = 0; key < 256; key++) {
        if (engine.KeyIsDown(key)) {
            return static_cast<int>(key);
        }
    }
    return -1;
}

// The browser's name of each key the desktop reports, beside its toolkit code.
std::vector<std::pair<std::string, int>> SameKeys() {
    std::vector<std::pair<std::string, int>> keys;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        keys.emplace_back(std::string("Key") + static_cast<char>(letter - 'a' + 'A'), letter);
    }
    for (char digit = '0'; digit <= '9'; ++digit) {
        keys.emplace_back(std::string("Digit") + digit, digit);
    }
    const std::pair<const char*, int> named[] = {
        {"Minus", '-'},        {"Equal", '='},           {"BracketLeft", '['},
        {"BracketRight", ']'}, {"Semicolon", ';'},       {"Quote", '\''},
        {"Comma", ','},        {"Period", '.'},          {"Slash", '/'},
        {"Backslash", '\\'},   {"Space", ' '},           {"Backspace", FL_BackSpace},
        {"Tab", FL_Tab},       {"Enter", FL_Enter},      {"Pause", FL_Pause},
        {"ScrollLock", FL_Scroll_Lock}, {"Escape", FL_Escape}, {"Home", FL_Home},
        {"ArrowLeft", FL_Left}, {"ArrowUp", FL_Up},      {"ArrowRight", FL_Right},
        {"ArrowDown", FL_Down}, {"PageUp", FL_Page_Up},  {"PageDown", FL_Page_Down},
        {"End", FL_End},       {"Insert", FL_Insert},    {"ShiftLeft", FL_Shift_L},
        {"ShiftRight", FL_Shift_R}, {"ControlLeft", FL_Control_L},
        {"ControlRight", FL_Control_R}, {"CapsLock", FL_Caps_Lock},
        {"AltLeft", FL_Alt_L}, {"AltRight", FL_Alt_R},   {"Delete", FL_Delete},
    };
    for (const auto& key : named) {
        keys.emplace_back(key.first, key.second);
    }
    for (int f = 1; f <= 10; ++f) {
        keys.emplace_back("F" + std::to_string(f), FL_F + f);
    }
    return keys;
}

}  // namespace

// The browser's keys land where the desktop's do, all 80 of them.
TEST(DomKeys, EveryDesktopKeyHasTheSameIndexInTheBrowser) {
    const std::vector<std::pair<std::string, int>> keys = SameKeys();
    ASSERT_EQ(keys.size(), 80u);
    for (const auto& key : keys) {
        const int desktop = DesktopIndex(key.second);
        ASSERT_GE(desktop, 0) << key.first;
        EXPECT_EQ(ie::DomKeyIndex(key.first.c_str()), desktop) << key.first;
    }
}

TEST(DomKeys, KeysTheDesktopDoesNotReportAreNotReported) {
    for (const char* code : {"Backquote", "F11", "F12", "Numpad5", "NumpadEnter", "PrintScreen",
                             "NumLock", "ContextMenu", "MetaLeft", "MetaRight", "", "keya"}) {
        EXPECT_EQ(ie::DomKeyIndex(code), -1) << code;
    }
}
