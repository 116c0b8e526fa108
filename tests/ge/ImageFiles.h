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

// A BMP with gap bytes of fill between its 54 header bytes and its pixels;
// the pixel-data offset and the file size say so.
std::string WithGap(const std::string& bmp, size_t gap, char fill);

// Overwrites the little-endian 32-bit field at offset.
void SetField32(std::string& bytes, size_t offset, uint32_t value);
// The little-endian 32-bit field at offset (0 past the end).
uint32_t Field32(const std::string& bytes, size_t offset);

// An RGBA PNG written with LodePNG's encoder.
std::string Png(int width, int height, const PixelFunction& pixel);

// A small pattern in which neighbouring pixels and rows all differ.
Rgba Pattern(int x, int y);

// The path of a picture the build drew into its gfx folder (this program
// lies in the build tree's tests folder).
std::string GameArtPath(const std::string& file);

// Runs ImageMagick: convert from [options] to, where to may carry a format
// prefix ("BMP3:out.bmp"). True when it succeeded.
bool Convert(const std::string& from, const std::string& options, const std::string& to);

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
