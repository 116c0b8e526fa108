#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct Colour {
    uint8_t r, g, b, a;

    bool operator==(const Colour& other) const {
        return r == other.r && g == other.g && b == other.b && a == other.a;
    }
    bool operator!=(const Colour& other) const { return !(*this == other); }
};

const Colour clearColour = {0, 0, 0, 0};

// An RGBA picture, top row first. Writes outside the picture are dropped and
// reads outside it give clearColour, so drawing code never has to clip.
class Canvas final {
public:
    Canvas(int width, int height, Colour fill = clearColour);

    int Width() const { return width; }
    int Height() const { return height; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    Colour Get(int x, int y) const;
    void Set(int x, int y, Colour colour);
    void FillRect(int x, int y, int w, int h, Colour colour);
    void FillEllipse(int cx, int cy, int rx, int ry, Colour colour);
    void Blit(const Canvas& source, int x, int y);  // alpha 0 is skipped
    Canvas Crop(int x, int y, int w, int h) const;

    const std::vector<Colour>& Pixels() const { return pixels; }

private:
    int width;
    int height;
    std::vector<Colour> pixels;
};

// 24-bit uncompressed BMP: 54-byte header, bottom row first, rows padded to
// four bytes. Alpha is dropped.
std::string EncodeBmp(const Canvas& canvas);
// 8-bit RGBA PNG.
std::string EncodePng(const Canvas& canvas);
// Writes the bytes or prints the reason and returns false.
bool WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace art
