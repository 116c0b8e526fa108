#include "ie/html5/DomKeys.h"

#include <cstring>

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

}  // namespace

int DomKeyIndex(const char* code) {
    for (const KeyEntry& entry : keyTable) {
        if (std::strcmp(entry.code, code) == 0) {
            return entry.index;
        }
    }
    return -1;
}

}  // namespace ie
