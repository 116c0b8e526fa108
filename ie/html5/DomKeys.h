#pragma once

namespace ie {

// The key index (the PC scan code the desktop engine reports) of a DOM
// KeyboardEvent.code, or -1 for a key the engines do not report. The same
// 80 keys as the desktop's table, by their place on the keyboard.
int DomKeyIndex(const char* code);

}  // namespace ie
