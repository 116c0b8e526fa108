#include <lodepng.h>

#include "ge/png/PngDecoder.h"

namespace ge {

namespace {

bool Inspect(const std::vector<uint8_t>& file, unsigned& width, unsigned& height) {
    lodepng::State state;
    return lodepng_inspect(&width, &height, &state, file.data(), file.size()) == 0;
}

bool Decode(const std::vector<uint8_t>& file, std::vector<uint8_t>& pixels, unsigned& width,
            unsigned& height) {
    return lodepng::decode(pixels, width, height, file, LCT_RGBA, 8) == 0;
}

}  // namespace

const PngDecoder lodePngDecoder = {"LodePNG", Inspect, Decode};

}  // namespace ge
