// Makes the desktop icons from the game's own art: the standing knight of
// the creature sheet, centred on a transparent square and enlarged without
// blurring. Usage: make_icon char.png size out.png
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        return Fail("usage: make_icon char.png size out.png");
    }
    const unsigned size = static_cast<unsigned>(std::atoi(argv[2]));
    if (size < cellHeight || size > 1024) {
        return Fail("size must be 32..1024");
    }
    std::vector<unsigned char> sheet;
    unsigned width = 0, height = 0;
    if (lodepng::decode(sheet, width, height, argv[1]) != 0 ||
        width < standingLeft + cellWidth || height < standingTop + cellHeight) {
        return Fail("cannot read the creature sheet");
    }
    const unsigned scale = size / cellHeight;
    const unsigned left = (size - cellWidth * scale) / 2;
    const unsigned top = (size - cellHeight * scale) / 2;
    std::vector<unsigned char> icon(size * size * 4, 0);
    for (unsigned y = 0; y < cellHeight * scale; ++y) {
        for (unsigned x = 0; x < cellWidth * scale; ++x) {
            const unsigned from = ((standingTop + y / scale) * width + standingLeft + x / scale) * 4;
            const unsigned to = ((top + y) * size + left + x) * 4;
            for (unsigned c = 0; c < 4; ++c) {
                icon[to + c] = sheet[from + c];
            }
        }
    }
    if (lodepng::encode(argv[3], icon, size, size) != 0) {
        return Fail("cannot write the icon");
    }
    return 0;
}
