#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace imagefiles {

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// Colour of the image pixel (x, y), y = 0 the top row.
using PixelFunction = std::function<Rgba(int x, int y)>;

// A 54-byte BMP header ("BM", 40-byte information header) with the given
// fields; the pixel-data offset says 54.
std::string BmpHeader(int width, int height, int bitsPerPixel, int compression);

// A complete 24-bit uncompressed BMP: rows bottom first, each padded to a
// multiple of four bytes with padByte.
std::string Bmp24(int width, int height, const PixelFunction& pixel, uint8_t padByte = 0);

// An RGBA PNG written with LodePNG's encoder.
std::string Png(int width, int height, const PixelFunction& pixel);

// A small pattern in which neighbouring pixels and rows all differ.
Rgba Pattern(int x, int y);

}  // namespace imagefiles

// Expects statement to end the process with exit code 1 after writing the
// graphics error line text (the log's console line is sent to stderr so the
// death test can see it).
#define EXPECT_GE_ERROR(statement, text)                                          \
    do {                                                                          \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                           \
        EXPECT_EXIT(                                                              \
            {                                                                     \
                dup2(2, 1);                                                       \
                statement;                                                        \
            },                                                                    \
            ::testing::ExitedWithCode(1),                                         \
            ::testing::HasSubstr(std::string("GE.error: ") + (text) + "\n"));     \
    } while (0)
