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
#include <cstddef>
#include <cstdint>

#include "ge/png/PngDecoder.h"

namespace ge {

namespace {

uint32_t Crc32(const uint8_t* bytes, size_t count) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

uint32_t BigEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

// stb_image reads past damage that LodePNG refuses: a chunk whose checksum
// is wrong, or a file cut before its end chunk. Both are refused here first,
// so the two decoders accept and refuse the same files.
bool ChunksAreWhole(const std::vector<uint8_t>& file) {
    const size_t signatureSize = 8;
    size_t at = signatureSize;
    while (file.size() >= at + 12) {
        const uint8_t* const chunk = file.data() + at;
        const size_t length = BigEndian32(chunk);
        if (length > file.size() - at - 12) {
            return false;
        }
        if (Crc32(chunk + 4, length + 4) != BigEndian32(chunk + 8 + length)) {
            return false;
        }
        if (chunk[4] == 'I' && chunk[5] == 'E' && chunk[6] == 'N' && chunk[7] == 'D') {
            return true;
        }
        at += length + 12;
    }
    return false;
}

bool Fits(const std::vector<uint8_t>& file) {
    return !file.empty() && file.size() <= static_cast<size_t>(INT_MAX) && ChunksAreWhole(file);
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
