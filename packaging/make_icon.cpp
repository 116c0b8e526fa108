// Makes the desktop's and the site's icons from the game's own art: the
// standing knight of the creature sheet, centred on a transparent square and
// enlarged without blurring. Given a background colour, a maskable icon: the
// square filled with it and the knight inside the central circle (80% of the
// side across) that every mask shape keeps.
// Usage: make_icon char.png size out.png [RRGGBB]
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const unsigned cellWidth = 24;
const unsigned cellHeight = 32;
const unsigned standingLeft = cellWidth;       // frame 1 of group 0
const unsigned standingTop = cellHeight;       // row 1: standing

int Fail(const char* what) {
    std::fprintf(stderr, "make_icon: %s\n", what);
    return 1;
}

// The knight's enlargement: the whole height of the square, or, for a
// maskable icon, as large as keeps the cell's diagonal (40 pixels at scale
// 1) inside the safe circle.
unsigned KnightScale(unsigned size, bool maskable) {
    const unsigned cellDiagonal = 40;
    return maskable ? size * 4 / 5 / cellDiagonal : size / cellHeight;
}

// Draws a pixel of the sheet over an opaque one.
void BlendOver(const unsigned char* pixel, unsigned char* under) {
    const unsigned alpha = pixel[3];
    for (unsigned c = 0; c < 3; ++c) {
        under[c] = static_cast<unsigned char>((pixel[c] * alpha + under[c] * (255 - alpha) + 127) / 255);
    }
}

// Reads RRGGBB into an opaque pixel.
bool ParseColour(const char* text, unsigned char pixel[4]) {
    char* end = nullptr;
    const unsigned long rgb = std::strtoul(text, &end, 16);
    if (std::strlen(text) != 6 || *end != '\0') {
        return false;
    }
    pixel[0] = static_cast<unsigned char>(rgb >> 16);
    pixel[1] = static_cast<unsigned char>(rgb >> 8);
    pixel[2] = static_cast<unsigned char>(rgb);
    pixel[3] = 255;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        return Fail("usage: make_icon char.png size out.png [RRGGBB]");
    }
    const bool maskable = argc == 5;
    unsigned char background[4] = {0, 0, 0, 0};
    if (maskable && !ParseColour(argv[4], background)) {
        return Fail("the background is a colour RRGGBB");
    }
    const unsigned size = static_cast<unsigned>(std::atoi(argv[2]));
    if (size < (maskable ? 64 : cellHeight) || size > 1024) {
        return Fail(maskable ? "a maskable icon's size must be 64..1024" : "size must be 32..1024");
    }
    std::vector<unsigned char> sheet;
    unsigned width = 0, height = 0;
    if (lodepng::decode(sheet, width, height, argv[1]) != 0 ||
        width < standingLeft + cellWidth || height < standingTop + cellHeight) {
        return Fail("cannot read the creature sheet");
    }
    const unsigned scale = KnightScale(size, maskable);
    const unsigned left = (size - cellWidth * scale) / 2;
    const unsigned top = (size - cellHeight * scale) / 2;
    std::vector<unsigned char> icon(size * size * 4);
    for (unsigned i = 0; i < size * size; ++i) {
        std::memcpy(&icon[i * 4], background, 4);
    }
    for (unsigned y = 0; y < cellHeight * scale; ++y) {
        for (unsigned x = 0; x < cellWidth * scale; ++x) {
            const unsigned from = ((standingTop + y / scale) * width + standingLeft + x / scale) * 4;
            unsigned char* to = &icon[((top + y) * size + left + x) * 4];
            if (maskable) {
                BlendOver(&sheet[from], to);
            } else {
                std::memcpy(to, &sheet[from], 4);
            }
        }
    }
    if (lodepng::encode(argv[3], icon, size, size) != 0) {
        return Fail("cannot write the icon");
    }
    return 0;
}
