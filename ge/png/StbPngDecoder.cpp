// stb_image reads PNG files only here: every other format it knows is
// switched off, and it never opens files itself.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS (1 << 24)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <climits>

#include "ge/png/PngDecoder.h"

namespace ge {

namespace {

bool Fits(const std::vector<uint8_t>& file) {
    return !file.empty() && file.size() <= static_cast<size_t>(INT_MAX);
}

bool Inspect(const std::vector<uint8_t>& file, unsigned& width, unsigned& height) {
    int w = 0;
    int h = 0;
    int channels = 0;
    if (!Fits(file) ||
        stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &channels) == 0) {
        return false;
    }
    width = static_cast<unsigned>(w);
    height = static_cast<unsigned>(h);
    return true;
}

bool Decode(const std::vector<uint8_t>& file, std::vector<uint8_t>& pixels, unsigned& width,
            unsigned& height) {
    int w = 0;
    int h = 0;
    int channels = 0;
    stbi_uc* const decoded =
        Fits(file) ? stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h,
                                           &channels, 4)
                   : nullptr;
    if (decoded == nullptr) {
        return false;
    }
    width = static_cast<unsigned>(w);
    height = static_cast<unsigned>(h);
    pixels.assign(decoded, decoded + static_cast<size_t>(w) * h * 4);
    stbi_image_free(decoded);
    return true;
}

}  // namespace

const PngDecoder stbPngDecoder = {"stb_image", Inspect, Decode};

}  // namespace ge
