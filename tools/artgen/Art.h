#pragma once

#include "tools/artgen/Canvas.h"

namespace art {

// The pictures the game loads, each built from the sources in this folder.
Canvas BuildFont();            // 192x192, 16x16 cells of 12x12, CP1251 order
Canvas BuildSystemSheet();     // 64x64, panel cell top-left, solid cell top-right
Canvas BuildIconSheet();       // 80x80, 4x4 cells of 20x20
Canvas BuildCreatureSheet();   // 288x128, 12x4 cells of 24x32
Canvas BuildTitlePicture();    // 320x160

enum class Terrain { Grass, Forest, Snow, Swamp, Desert, Wasteland, Galaxy };
Canvas BuildTerrain(Terrain terrain);  // 320x160

// Font layout shared by the builder and whoever checks it.
const int glyphCell = 12;
const int glyphLeft = 3;   // first ink column of a glyph inside its cell
const int glyphTop = 1;    // cell row of glyph row 0 (the accent row)

// Byte value of one UTF-8 character in the CP1251 code page, -1 if the page
// has no such character.
int Cp1251Byte(const std::string& utf8);

}  // namespace art
