#include "app/ArtFiles.h"

const ArtFile fontArt = {"../gfx/font.bmp", 4, "Auto"};

const ArtFile otherArt[] = {
    {"../gfx/system.bmp", 5, "Null"},    {"../gfx/icon.bmp", 6, "Auto"},
    {"../gfx/char.png", 7, nullptr},     {"../gfx/title.png", 9, nullptr},
    {"../gfx/grass.png", 10, nullptr},   {"../gfx/forest.png", 11, nullptr},
    {"../gfx/snow.png", 12, nullptr},    {"../gfx/swamp.png", 13, nullptr},
    {"../gfx/desert.png", 14, nullptr},  {"../gfx/wasteland.png", 15, nullptr},
    {"../gfx/galaxy.png", 16, nullptr},
};

const int otherArtCount = sizeof(otherArt) / sizeof(otherArt[0]);
