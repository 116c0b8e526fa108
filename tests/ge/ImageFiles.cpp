#include "tests/ge/ImageFiles.h"

#include <lodepng.h>

namespace imagefiles {

namespace {

void PutLittle(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

}  // namespace

std::string BmpHeader(int width, int height, int bitsPerPixel, int compression) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height < 0 ? -height : height);
    std::string bytes = "BM";
    PutLittle(bytes, 54 + imageBytes, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, 54, 4);
    PutLittle(bytes, 40, 4);
    PutLittle(bytes, static_cast<uint32_t>(width), 4);
    PutLittle(bytes, static_cast<uint32_t>(height), 4);
    PutLittle(bytes, 1, 2);
    PutLittle(bytes, static_cast<uint32_t>(bitsPerPixel), 2);
    PutLittle(bytes, static_cast<uint32_t>(compression), 4);
    PutLittle(bytes, imageBytes, 4);
    PutLittle(bytes, 2835, 4);
    PutLittle(bytes, 2835, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, 0, 4);
    return bytes;
}

std::string Bmp24(int width, int height, const PixelFunction& pixel, uint8_t padByte) {
    std::string bytes = BmpHeader(width, height, 24, 0);
    const int padding = (4 - (width * 3) % 4) % 4;
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) {
            const Rgba colour = pixel(x, row);
            bytes.push_back(static_cast<char>(colour.b));
            bytes.push_back(static_cast<char>(colour.g));
            bytes.push_back(static_cast<char>(colour.r));
        }
        bytes.append(static_cast<size_t>(padding), static_cast<char>(padByte));
    }
    return bytes;
}

std::string Png(int width, int height, const PixelFunction& pixel) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba colour = pixel(x, y);
            rgba.insert(rgba.end(), {colour.r, colour.g, colour.b, colour.a});
        }
    }
    std::vector<unsigned char> encoded;
    lodepng::encode(encoded, rgba, static_cast<unsigned>(width), static_cast<unsigned>(height));
    return std::string(encoded.begin(), encoded.end());
}

Rgba Pattern(int x, int y) {
    return Rgba{static_cast<uint8_t>(10 + x * 7), static_cast<uint8_t>(20 + y * 11),
                static_cast<uint8_t>(x * 3 + y * 5 + 1), 255};
}

}  // namespace imagefiles
