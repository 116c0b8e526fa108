#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace arttest {

// A decoded picture, RGBA, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    bool Valid() const { return width > 0 && height > 0; }
    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    bool IsBlack(int x, int y) const { return At(x, y)[0] == 0 && At(x, y)[1] == 0 && At(x, y)[2] == 0; }
    bool IsClear(int x, int y) const { return At(x, y)[3] == 0; }
    uint32_t Pixel(int x, int y) const;
};

// Reads a 24-bit uncompressed BMP the way the game does (54-byte header,
// bottom row first, rows padded to four bytes). Returns an invalid image and
// a reason if the file is not one.
Image ReadBmp(const std::string& bytes, std::string& problem);
// Decodes a PNG file to 8-bit RGBA with LodePNG.
Image ReadPng(const std::string& path, std::string& problem);

// A region of an image.
struct Cell {
    int x, y, w, h;
};

bool HasInk(const Image& image, const Cell& cell);  // any pixel neither black nor clear
bool SamePixels(const Image& image, const Cell& a, const Cell& b);

std::string GfxPath(const std::string& file);
std::string BuildPath(const std::string& file);  // any file of the build tree
std::string SourcePath(const std::string& file);
std::string GeneratorPath();

// Every string literal of a C++ source, escapes resolved, UTF-8 kept.
std::vector<std::string> StringLiterals(const std::string& source);
// The CP1251 bytes the game draws for a UTF-8 text; characters the code page
// lacks become '?', as the game's own conversion does.
std::string ToCp1251(const std::string& utf8);

}  // namespace arttest
