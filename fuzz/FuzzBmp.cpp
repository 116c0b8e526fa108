// The BMP loader with each way of making transparency. The first byte picks
// the mode: 0 "Null", 1 "Auto", 2 a mask file. For a mask the next two bytes
// (little-endian) give the length of the image file; the rest is the mask.
// A decoded image must match the file's bytes texel for texel, read from
// each file's pixel-data offset.
#include <algorithm>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "fuzz/TextureChecks.h"
#include "ge/gl/TextureLoader.h"

namespace {

enum class Mode { null, autoBlack, mask };

const size_t fileHeaderSize = 14;
const uint32_t infoHeaderSize = 40;

uint32_t Field32(const uint8_t* bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

// Where the pixels of a file that decoded start: its pixel-data offset,
// which must lie behind a Windows information header of 40 bytes or more
// (the OS/2 core header of 12 bytes is refused).
size_t PixelDataOffset(const uint8_t* file, size_t size) {
    if (size < fileHeaderSize + infoHeaderSize) {
        fuzz::Fail("a file shorter than its headers was decoded");
    }
    const uint32_t infoSize = Field32(file, fileHeaderSize);
    const uint32_t offset = Field32(file, 10);
    if (infoSize < infoHeaderSize || offset < fileHeaderSize + static_cast<uint64_t>(infoSize)) {
        fuzz::Fail("a file without a Windows information header before its pixels was decoded");
    }
    return offset;
}

// Where pixel (x, y) of the image starts in its file: rows bottom first from
// the pixel-data offset, blue green red, each row padded by (width mod 4)
// bytes.
size_t PixelOffset(const ge::TextureImage& image, size_t dataOffset, int x, int y) {
    const size_t stride = static_cast<size_t>(image.imageWidth) * 3 + image.imageWidth % 4;
    const size_t row = static_cast<size_t>(image.imageHeight - 1 - y);
    return dataOffset + row * stride + static_cast<size_t>(x) * 3;
}

uint8_t FileAlpha(Mode mode, const uint8_t* rgb, const uint8_t* maskPixel) {
    switch (mode) {
    case Mode::null:
        return 255;
    case Mode::autoBlack:
        return (rgb[0] | rgb[1] | rgb[2]) == 0 ? 0 : 255;
    case Mode::mask:
        return maskPixel[0];
    }
    return 0;
}

void CheckAgainstFile(const ge::TextureImage& image, Mode mode, const uint8_t* file, size_t size,
                      const uint8_t* mask, size_t maskSize) {
    fuzz::CheckTextureShape(image);
    const size_t fileData = PixelDataOffset(file, size);
    const size_t maskData = mode == Mode::mask ? PixelDataOffset(mask, maskSize) : 0;
    for (int y = 0; y < image.imageHeight; ++y) {
        for (int x = 0; x < image.imageWidth; ++x) {
            // Only the last row's padding may be missing from a file.
            const size_t offset = PixelOffset(image, fileData, x, y);
            const size_t maskOffset = PixelOffset(image, maskData, x, y);
            if (offset + 3 > size || (mode == Mode::mask && maskOffset + 3 > maskSize)) {
                fuzz::Fail("a pixel was decoded from beyond the end of its file");
            }
            const uint8_t* bgr = file + offset;
            const uint8_t* maskPixel = mode == Mode::mask ? mask + maskOffset : nullptr;
            const uint8_t rgb[3] = { bgr[2], bgr[1], bgr[0] };
            const uint8_t* texel = fuzz::Texel(image, x, y);
            if (std::memcmp(texel, rgb, 3) != 0 || texel[3] != FileAlpha(mode, rgb, maskPixel)) {
                fuzz::Fail("a texel differs from its pixel in the file");
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const Mode mode = static_cast<Mode>(data[0] % 3);
    const uint8_t* file = data + 1;
    size_t fileSize = size - 1;
    const uint8_t* mask = nullptr;
    size_t maskSize = 0;
    if (mode == Mode::mask) {
        if (fileSize < 2) {
            return 0;
        }
        const size_t imageSize = data[1] | static_cast<size_t>(data[2]) << 8;
        file = data + 3;
        fileSize = std::min(imageSize, size - 3);
        mask = file + fileSize;
        maskSize = size - 3 - fileSize;
    }
    const std::string path = fuzz::WriteScratchFile("image.bmp", file, fileSize);
    std::string modeText = mode == Mode::null ? "Null" : "Auto";
    if (mode == Mode::mask) {
        modeText = fuzz::WriteScratchFile("mask.bmp", mask, maskSize);
    }
    try {
        const ge::TextureImage image = ge::DecodeBmp(modeText.c_str(), path.c_str());
        CheckAgainstFile(image, mode, file, fileSize, mask, maskSize);
    } catch (const fuzz::LoggedError& error) {
        fuzz::CheckRefusal(error, "GE",
                           { "Do not know this format", "Texture file is truncated",
                             "Texture size is not valid", "Texture is too large" });
    }
    return 0;
}
