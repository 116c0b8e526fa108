#pragma once

#include <cstdint>
#include <vector>

namespace ge {

// A PNG decoding library as the texture loader uses it.
struct PngDecoder {
    // How the loader's lines name it: "<name> decoder error; cannot load ...",
    // "... was loaded by <name>".
    const char* name;
    // The image's size from its header, without decoding; false if the bytes
    // are not a PNG the library reads.
    bool (*inspect)(const std::vector<uint8_t>& file, unsigned& width, unsigned& height);
    // The image as 8-bit RGBA, rows top first; false on any failure.
    bool (*decode)(const std::vector<uint8_t>& file, std::vector<uint8_t>& pixels,
                   unsigned& width, unsigned& height);
};

extern const PngDecoder lodePngDecoder;
extern const PngDecoder stbPngDecoder;

// The decoder this build loads PNG files with (chosen by the build).
const PngDecoder& BuildPngDecoder();

}  // namespace ge
