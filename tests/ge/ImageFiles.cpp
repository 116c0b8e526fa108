#include "tests/ge/ImageFiles.h"

#include <lodepng.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

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

std::string WithGap(const std::string& bmp, size_t gap, char fill) {
    std::string bytes = bmp.substr(0, 54) + std::string(gap, fill) + bmp.substr(54);
    SetField32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    SetField32(bytes, 10, static_cast<uint32_t>(54 + gap));
    return bytes;
}

void SetField32(std::string& bytes, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<char>((value >> (8 * i)) & 0xFFu);
    }
}

uint32_t Field32(const std::string& bytes, size_t offset) {
    if (offset + 4 > bytes.size()) {
        return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
    }
    return value;
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

std::string GameArtPath(const std::string& file) {
    char self[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string build = length > 0 ? std::string(self, static_cast<size_t>(length)) : "";
    for (int level = 0; level < 2; ++level) {
        build = build.substr(0, build.find_last_of('/'));
    }
    return build + "/gfx/" + file;
}

bool Convert(const std::string& from, const std::string& options, const std::string& to) {
    const std::string command =
        "/usr/bin/convert '" + from + "' " + options + " '" + to + "' 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace imagefiles
