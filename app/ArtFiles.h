#pragma once

// The pictures every shell loads at start-up, from ../gfx/ relative to the
// working directory: the font first (the "Loading..." frame needs it), then
// the rest of the art in loading order. The build makes the table from the
// list app/art.txt.
struct ArtFile {
    const char* path;
    int slot;
    const char* bmpMode;  // transparency mode of a BMP file; null for a PNG file
};

extern const ArtFile fontArt;
extern const ArtFile otherArt[];
extern const int otherArtCount;
