#pragma once

#include "tools/artgen/Canvas.h"

#include <string>

namespace art {

// The one palette every picture is painted from. Each colour has a one-letter
// code used by the pixel maps; '.' is transparent.
struct PaletteEntry {
    char code;
    const char* name;
    Colour colour;
};

const PaletteEntry* PaletteBegin();
const PaletteEntry* PaletteEnd();

// The colour of a code; an unknown code ends the generator with a message.
Colour Ink(char code);
bool IsInk(char code);

[[noreturn]] void Fail(const std::string& message);

// A pixel map: rows of codes separated by newlines, leading and trailing blank
// lines ignored, every row the same length. '_' in a map paints transparency
// (used by patches that erase), '.' leaves the pixel alone.
Canvas ParseMap(const char* text, const char* what);
// Paints a parsed map onto a canvas: '.' pixels are skipped and '_' pixels
// become transparent.
void Stamp(Canvas& target, const char* text, int x, int y, const char* what);
// Every transparent pixel that touches a painted one (four neighbours) takes
// the outline colour.
void Outline(Canvas& canvas, Colour outline);

}  // namespace art
