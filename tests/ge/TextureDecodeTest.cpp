#include <gtest/gtest.h>
#include <gmock/gmock.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "ge/gl/TextureLoader.h"
#include "tests/ge/ImageFiles.h"
#include "tests/support/TestSupport.h"

using imagefiles::Rgba;
using testing::HasSubstr;

namespace {

Rgba TexelOf(const ge::TextureImage& image, int x, int y) {
    const uint8_t* p = &image.texels[(static_cast<size_t>(y) * image.texWidth + x) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
}

// Every image pixel of the texture equals expected(x, y).
void ExpectImage(const ge::TextureImage& image, const imagefiles::PixelFunction& expected) {
    for (int y = 0; y < image.imageHeight; ++y) {
        for (int x = 0; x < image.imageWidth; ++x) {
            const Rgba want = expected(x, y);
            const Rgba got = TexelOf(image, x, y);
            ASSERT_TRUE(got == want) << "texel " << x << ", " << y << ": got " << int(got.r) << " "
                                     << int(got.g) << " " << int(got.b) << " " << int(got.a);
        }
    }
}

// A file in the working folder under a fixed name, removed at the end: a
// death test's child process rebuilds the same path, so the error line it
// prints can be compared with the path exactly.
class FixedFile {
public:
    FixedFile(const std::string& name, const std::string& bytes) : path("ge-decode-" + name) {
        testsupport::WriteFile(path, bytes);
    }
    ~FixedFile() { std::remove(path.c_str()); }
    const char* Path() const { return path.c_str(); }

private:
    std::string path;
};

class TextureDecode : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir.File(name);
        testsupport::WriteFile(path, bytes);
        return path;
    }

    testsupport::ScratchDir dir;
};

}  // namespace

TEST_F(TextureDecode, TextureSidesRoundUpToPowersOfTwo) {
    const std::string path = Write("a.bmp", imagefiles::Bmp24(100, 50, imagefiles::Pattern));
    const ge::TextureImage image = ge::DecodeBmp("Null", path.c_str());
    EXPECT_EQ(100, image.imageWidth);
    EXPECT_EQ(50, image.imageHeight);
    EXPECT_EQ(128, image.texWidth);
    EXPECT_EQ(64, image.texHeight);
    EXPECT_EQ(128u * 64u * 4u, image.texels.size());

    EXPECT_EQ(1, ge::TextureSide(1));
    EXPECT_EQ(2, ge::TextureSide(2));
    EXPECT_EQ(4, ge::TextureSide(3));
    EXPECT_EQ(256, ge::TextureSide(256));
    EXPECT_EQ(512, ge::TextureSide(257));
    EXPECT_EQ(8192, ge::TextureSide(ge::maxImageSide));
}

TEST_F(TextureDecode, BmpStandsUprightWithTopRowFirst) {
    const std::string path = Write("up.bmp", imagefiles::Bmp24(5, 7, imagefiles::Pattern));
    const ge::TextureImage image = ge::DecodeBmp("Null", path.c_str());
    ExpectImage(image, imagefiles::Pattern);
}

TEST_F(TextureDecode, RowPaddingOfThreeBytesIsSkipped) {
    // A pad byte that would show as a colour if it were read as a pixel.
    const std::string bytes = imagefiles::Bmp24(3, 4, imagefiles::Pattern, 0xEE);
    EXPECT_EQ(54u + 4u * (9u + 3u), bytes.size());
    const std::string path = Write("w3.bmp", bytes);
    ExpectImage(ge::DecodeBmp("Null", path.c_str()), imagefiles::Pattern);
}

TEST_F(TextureDecode, FourPixelRowsHaveNoPadding) {
    const std::string bytes = imagefiles::Bmp24(4, 3, imagefiles::Pattern);
    EXPECT_EQ(54u + 3u * 12u, bytes.size());
    const std::string path = Write("w4.bmp", bytes);
    ExpectImage(ge::DecodeBmp("Null", path.c_str()), imagefiles::Pattern);
}

TEST_F(TextureDecode, OddWidthsDecodeExactly) {
    for (const int width : {1, 2, 5, 6, 7}) {
        const std::string path = Write("odd.bmp", imagefiles::Bmp24(width, 3, imagefiles::Pattern, 0x99));
        SCOPED_TRACE(width);
        ExpectImage(ge::DecodeBmp("Null", path.c_str()), imagefiles::Pattern);
    }
}

TEST_F(TextureDecode, LastRowWithoutPaddingIsAccepted) {
    std::string bytes = imagefiles::Bmp24(3, 2, imagefiles::Pattern);
    bytes.resize(bytes.size() - 3);
    const std::string path = Write("short-pad.bmp", bytes);
    ExpectImage(ge::DecodeBmp("Null", path.c_str()), imagefiles::Pattern);
}

TEST_F(TextureDecode, AutoMakesOnlyPureBlackTransparent) {
    const Rgba colours[4] = {{0, 0, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 0}, {200, 100, 50, 0}};
    const auto pixel = [&colours](int x, int) { return colours[x]; };
    const std::string path = Write("auto.bmp", imagefiles::Bmp24(4, 2, pixel));
    const ge::TextureImage image = ge::DecodeBmp("Auto", path.c_str());
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(0, TexelOf(image, 0, y).a);
        EXPECT_EQ(255, TexelOf(image, 1, y).a) << "(0, 0, 1) is not black";
        EXPECT_EQ(1, TexelOf(image, 1, y).b);
        EXPECT_EQ(255, TexelOf(image, 2, y).a);
        EXPECT_TRUE(TexelOf(image, 3, y) == (Rgba{200, 100, 50, 255}));
    }
}

TEST_F(TextureDecode, NullKeepsBlackOpaque) {
    const std::string path =
        Write("null.bmp", imagefiles::Bmp24(2, 2, [](int, int) { return Rgba{0, 0, 0, 0}; }));
    ExpectImage(ge::DecodeBmp("Null", path.c_str()), [](int, int) { return Rgba{0, 0, 0, 255}; });
}

TEST_F(TextureDecode, MaskBlueBytesBecomeAlpha) {
    const std::string path = Write("img.bmp", imagefiles::Bmp24(3, 3, imagefiles::Pattern));
    const auto maskPixel = [](int x, int y) {
        return Rgba{static_cast<uint8_t>(99), static_cast<uint8_t>(77),
                    static_cast<uint8_t>(x * 40 + y * 80 + 3), 0};
    };
    const std::string mask = Write("mask.bmp", imagefiles::Bmp24(3, 3, maskPixel, 0x44));
    ExpectImage(ge::DecodeBmp(mask.c_str(), path.c_str()), [&](int x, int y) {
        Rgba colour = imagefiles::Pattern(x, y);
        colour.a = maskPixel(x, y).b;
        return colour;
    });
}

TEST_F(TextureDecode, PngRowsAndAlphaAreKept) {
    const auto pixel = [](int x, int y) {
        Rgba colour = imagefiles::Pattern(x, y);
        colour.a = static_cast<uint8_t>(x * 50 + y);
        return colour;
    };
    const std::string path = Write("p.png", imagefiles::Png(5, 3, pixel));
    const ge::TextureImage image = ge::DecodePng(path.c_str());
    EXPECT_EQ(8, image.texWidth);
    EXPECT_EQ(4, image.texHeight);
    ExpectImage(image, pixel);
}

TEST_F(TextureDecode, PngDecodeIsLoggedWithItsSize) {
    const std::string path = Write("logged.png", imagefiles::Png(100, 50, imagefiles::Pattern));
    testing::internal::CaptureStdout();
    ge::DecodePng(path.c_str());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ("GE.message: " + path + " is decoded: W=100 H=50\n", out);
}

TEST_F(TextureDecode, PngSizesRoundUp) {
    const std::string wide = Write("wide.png", imagefiles::Png(257, 1, imagefiles::Pattern));
    const ge::TextureImage image = ge::DecodePng(wide.c_str());
    EXPECT_EQ(512, image.texWidth);
    EXPECT_EQ(1, image.texHeight);
    ExpectImage(image, imagefiles::Pattern);
}

// Failures: each ends the program with its error line.

TEST_F(TextureDecode, MissingBmpCannotBeOpened) {
    const std::string path = dir.File("absent.bmp");
    EXPECT_GE_ERROR(ge::DecodeBmp("Auto", path.c_str()), "Cannot open texture file");
}

TEST_F(TextureDecode, ThirtyTwoBitBmpIsUnknown) {
    std::string bytes = imagefiles::BmpHeader(2, 2, 32, 0);
    bytes.append(16, '\x7f');
    const std::string path = Write("32.bmp", bytes);
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", path.c_str()), "Do not know this format");
}

TEST_F(TextureDecode, PaletteBmpIsUnknown) {
    std::string bytes = imagefiles::BmpHeader(4, 4, 8, 0);
    bytes.append(1024 + 16, '\x01');
    const std::string path = Write("pal.bmp", bytes);
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", path.c_str()), "Do not know this format");
}

TEST_F(TextureDecode, CompressedOrForeignFilesAreUnknown) {
    std::string rle = imagefiles::BmpHeader(2, 2, 24, 1);
    rle.append(16, '\0');
    const std::string rlePath = Write("rle.bmp", rle);
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", rlePath.c_str()), "Do not know this format");

    std::string magic = imagefiles::Bmp24(2, 2, imagefiles::Pattern);
    magic[1] = 'A';
    const std::string magicPath = Write("ba.bmp", magic);
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", magicPath.c_str()), "Do not know this format");

    const std::string png = Write("really.png.bmp", imagefiles::Png(8, 8, imagefiles::Pattern));
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", png.c_str()), "Do not know this format");
}

TEST_F(TextureDecode, TopDownBmpIsUnknown) {
    std::string bytes = imagefiles::BmpHeader(2, -2, 24, 0);
    bytes.append(16, '\x20');
    const std::string path = Write("topdown.bmp", bytes);
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", path.c_str()), "Do not know this format");
}

TEST_F(TextureDecode, BmpEndingBeforeItsLastRowIsTruncated) {
    std::string bytes = imagefiles::Bmp24(4, 4, imagefiles::Pattern);
    bytes.resize(bytes.size() - 1);
    const std::string path = Write("cut.bmp", bytes);
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", path.c_str()), "Texture file is truncated");

    const std::string headerOnly = Write("header.bmp", imagefiles::BmpHeader(4, 4, 24, 0));
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", headerOnly.c_str()), "Texture file is truncated");

    const std::string shortHeader = Write("tiny.bmp", imagefiles::BmpHeader(4, 4, 24, 0).substr(0, 30));
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", shortHeader.c_str()), "Texture file is truncated");

    const std::string empty = Write("empty.bmp", "");
    EXPECT_GE_ERROR(ge::DecodeBmp("Null", empty.c_str()), "Texture file is truncated");
}

TEST_F(TextureDecode, MaskProblemsEndTheProgram) {
    const std::string path = Write("img.bmp", imagefiles::Bmp24(4, 4, imagefiles::Pattern));
    const std::string missing = dir.File("no-mask.bmp");
    EXPECT_GE_ERROR(ge::DecodeBmp(missing.c_str(), path.c_str()), "Cannot open texture mask file");

    std::string shortMask = imagefiles::Bmp24(4, 3, imagefiles::Pattern);
    const std::string cut = Write("cut-mask.bmp", shortMask);
    EXPECT_GE_ERROR(ge::DecodeBmp(cut.c_str(), path.c_str()), "Texture file is truncated");
}

TEST_F(TextureDecode, AbsurdBmpSizesAreRefused) {
    struct Case {
        int width, height;
        const char* error;
    };
    const Case cases[] = {
        {0, 4, "Texture size is not valid"},
        {-3, 4, "Texture size is not valid"},
        {4, 0, "Texture size is not valid"},
        {ge::maxImageSide + 1, 1, "Texture is too large"},
        {1, ge::maxImageSide + 1, "Texture is too large"},
        {70000, 70000, "Texture is too large"},  // its buffer would overflow 32 bits
        {0x7FFFFFFF, 0x7FFFFFFF, "Texture is too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        std::string bytes = imagefiles::BmpHeader(c.width, c.height, 24, 0);
        bytes.append(64, '\x10');
        const std::string path = Write("huge.bmp", bytes);
        EXPECT_GE_ERROR(ge::DecodeBmp("Null", path.c_str()), c.error);
    }
}

TEST_F(TextureDecode, MissingPngNamesItsPath) {
    const std::string path = "../gfx-nowhere/gone.png";
    EXPECT_GE_ERROR(ge::DecodePng(path.c_str()), "LodePNG decoder error; cannot load " + path);
}

TEST_F(TextureDecode, DamagedPngNamesItsPath) {
    const std::string error = "LodePNG decoder error; cannot load ";
    std::string bytes = imagefiles::Png(16, 16, imagefiles::Pattern);
    const FixedFile notPng("bmp.png", imagefiles::Bmp24(2, 2, imagefiles::Pattern));
    EXPECT_GE_ERROR(ge::DecodePng(notPng.Path()), error + notPng.Path());

    const FixedFile cut("cut.png", bytes.substr(0, bytes.size() / 2));
    EXPECT_GE_ERROR(ge::DecodePng(cut.Path()), error + cut.Path());

    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x5A);
    const FixedFile flipped("flipped.png", bytes);
    EXPECT_GE_ERROR(ge::DecodePng(flipped.Path()), error + flipped.Path());

    const FixedFile empty("empty.png", "");
    EXPECT_GE_ERROR(ge::DecodePng(empty.Path()), error + empty.Path());
}

TEST_F(TextureDecode, PngLargerThanTheLimitIsRefused) {
    const std::string path =
        Write("long.png", imagefiles::Png(ge::maxImageSide + 1, 1, imagefiles::Pattern));
    EXPECT_GE_ERROR(ge::DecodePng(path.c_str()), "Texture is too large");
}

namespace {

// Caps the address space at what the process uses now plus a margin, so an
// allocation of hundreds of megabytes fails. Sanitizer runtimes reserve huge
// address ranges of their own, so the cap is left off under them.
void CapMemoryGrowth(size_t marginBytes) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    size_t sizeKb = 0;
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
        std::sscanf(line, "VmSize: %zu kB", &sizeKb);
    }
    if (status != nullptr) {
        std::fclose(status);
    }
    const rlim_t cap = static_cast<rlim_t>(sizeKb * 1024 + marginBytes);
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
#else
    (void)marginBytes;
#endif
}

TEST_F(TextureDecode, TinyFileClaimingAHugePictureIsRefusedBeforeItsBuffer) {
    std::string bytes = imagefiles::BmpHeader(ge::maxImageSide, ge::maxImageSide, 24, 0);
    bytes.append(64, '\x40');
    const std::string path = Write("huge-claim.bmp", bytes);
    // Its texture buffer would be 256 MiB.
    EXPECT_GE_ERROR(
        {
            CapMemoryGrowth(64u << 20);
            ge::DecodeBmp("Null", path.c_str());
        },
        "Texture file is truncated");
}

}  // namespace

// Pixels need not follow the 54 header bytes: the pixel-data offset says
// where they start.

TEST_F(TextureDecode, PixelsAreReadFromThePixelDataOffset) {
    // The gap holds bytes that would show as colours if read as pixels.
    const std::string bytes =
        imagefiles::WithGap(imagefiles::Bmp24(5, 3, imagefiles::Pattern, 0xEE), 16, '\xC3');
    ASSERT_EQ(70u, imagefiles::Field32(bytes, 10));
    const std::string path = Write("gap.bmp", bytes);
    ExpectImage(ge::DecodeBmp("Null", path.c_str()), imagefiles::Pattern);

    const auto maskPixel = [](int x, int y) {
        return Rgba{0x11, 0x22, static_cast<uint8_t>(x * 30 + y * 90 + 5), 0};
    };
    const std::string mask =
        Write("gap-mask.bmp", imagefiles::WithGap(imagefiles::Bmp24(5, 3, maskPixel), 3, '\x7A'));
    ExpectImage(ge::DecodeBmp(mask.c_str(), path.c_str()), [&](int x, int y) {
        Rgba colour = imagefiles::Pattern(x, y);
        colour.a = maskPixel(x, y).b;
        return colour;
    });
}

TEST_F(TextureDecode, BadHeaderSizesAndPixelOffsetsAreRefused) {
    const std::string good = imagefiles::Bmp24(4, 2, imagefiles::Pattern);
    const auto withField = [&good](size_t offset, uint32_t value) {
        std::string bytes = good;
        imagefiles::SetField32(bytes, offset, value);
        return bytes;
    };
    struct Case {
        const char* name;
        std::string bytes;
        const char* error;
    };
    const Case cases[] = {
        {"offset-in-file-header", withField(10, 0), "Do not know this format"},
        {"offset-in-info-header", withField(10, 53), "Do not know this format"},
        // A 124-byte header claims bytes 14..137: pixels at 54 would be inside it.
        {"offset-in-long-header", withField(14, 124), "Do not know this format"},
        {"os2-core-header", withField(14, 12), "Do not know this format"},
        {"short-info-header", withField(14, 39), "Do not know this format"},
        {"offset-past-the-end", withField(10, static_cast<uint32_t>(good.size() + 1)),
         "Texture file is truncated"},
        {"offset-far-past-the-end", withField(10, 0xFFFFFFFFu), "Texture file is truncated"},
        {"body-cut-by-the-offset", withField(10, 58), "Texture file is truncated"},
    };
    const std::string image = Write("image.bmp", good);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Write(std::string(c.name) + ".bmp", c.bytes);
        EXPECT_GE_ERROR(ge::DecodeBmp("Null", path.c_str()), c.error);
        EXPECT_GE_ERROR(ge::DecodeBmp(path.c_str(), image.c_str()), c.error);
    }
}

// Files other software wrote: the game's own pictures re-saved by ImageMagick.

namespace {

void ExpectSameTexture(const ge::TextureImage& want, const ge::TextureImage& got) {
    ASSERT_EQ(want.imageWidth, got.imageWidth);
    ASSERT_EQ(want.imageHeight, got.imageHeight);
    ASSERT_EQ(want.texels.size(), got.texels.size());
    const auto differ = std::mismatch(want.texels.begin(), want.texels.end(), got.texels.begin());
    if (differ.first != want.texels.end()) {
        const size_t texel = static_cast<size_t>(differ.first - want.texels.begin()) / 4;
        ADD_FAILURE() << "texel " << texel % want.texWidth << ", " << texel / want.texWidth
                      << " differs from the original";
    }
}

class ResavedArt : public TextureDecode {
protected:
    // The game's picture art re-saved by ImageMagick, with options, in format
    // ("BMP3:", ...).
    std::string Resave(const std::string& art, const std::string& options, const std::string& format) {
        const std::string path = dir.File(format.substr(0, format.size() - 1) + "-" + art);
        EXPECT_TRUE(imagefiles::Convert(imagefiles::GameArtPath(art), options, format + path))
            << "ImageMagick could not re-save " << imagefiles::GameArtPath(art);
        return path;
    }
};

}  // namespace

TEST_F(ResavedArt, BmpsDecodeAsTheOriginal) {
    struct Writer {
        const char* format;
        uint32_t infoSize;
        uint32_t pixelOffset;
    };
    // BMP3 writes the 40-byte header, the default writer the 124-byte one.
    const Writer writers[] = {{"BMP3:", 40, 54}, {"BMP:", 124, 138}};
    for (const char* art : {"font.bmp", "system.bmp", "icon.bmp"}) {
        const ge::TextureImage original = ge::DecodeBmp("Auto", imagefiles::GameArtPath(art).c_str());
        for (const Writer& writer : writers) {
            SCOPED_TRACE(std::string(writer.format) + art);
            const std::string path = Resave(art, "", writer.format);
            const std::string bytes = testsupport::ReadFile(path);
            ASSERT_EQ(writer.infoSize, imagefiles::Field32(bytes, 14));
            ASSERT_EQ(writer.pixelOffset, imagefiles::Field32(bytes, 10));
            ExpectSameTexture(original, ge::DecodeBmp("Auto", path.c_str()));
        }
    }
}

TEST_F(ResavedArt, MaskWithTheLongHeaderGivesItsBlueAsAlpha) {
    const std::string mask = Resave("icon.bmp", "", "BMP:");
    ASSERT_EQ(138u, imagefiles::Field32(testsupport::ReadFile(mask), 10));
    // The picture is its own mask, so every alpha equals the texel's blue.
    const ge::TextureImage image = ge::DecodeBmp(mask.c_str(), imagefiles::GameArtPath("icon.bmp").c_str());
    ExpectImage(image, [&image](int x, int y) {
        Rgba colour = TexelOf(image, x, y);
        colour.a = colour.b;
        return colour;
    });
}

TEST_F(ResavedArt, Os2BmpIsUnknown) {
    const std::string os2 = Resave("icon.bmp", "", "BMP2:");
    ASSERT_EQ(12u, imagefiles::Field32(testsupport::ReadFile(os2), 14));
    EXPECT_GE_ERROR(ge::DecodeBmp("Auto", os2.c_str()), "Do not know this format");
    EXPECT_GE_ERROR(ge::DecodeBmp(os2.c_str(), imagefiles::GameArtPath("icon.bmp").c_str()),
                    "Do not know this format");
}

TEST_F(ResavedArt, PngPaletteSixteenBitAndInterlacedDecodeAsTheOriginal) {
    struct Resaving {
        const char* options;
        const char* format;
        size_t field;  // the IHDR byte that tells the variant
        uint8_t value;
    };
    // IHDR bytes of the file: 24 bit depth, 25 colour type, 28 interlace.
    const Resaving resavings[] = {
        {"", "PNG8:", 25, 3},
        {"-depth 16", "PNG64:", 24, 16},
        {"-interlace PNG", "PNG32:", 28, 1},
    };
    const ge::TextureImage original = ge::DecodePng(imagefiles::GameArtPath("title.png").c_str());
    for (const Resaving& resaving : resavings) {
        SCOPED_TRACE(resaving.format);
        const std::string path = Resave("title.png", resaving.options, resaving.format);
        ASSERT_EQ(resaving.value, static_cast<uint8_t>(testsupport::ReadFile(path).at(resaving.field)));
        ExpectSameTexture(original, ge::DecodePng(path.c_str()));
    }
}
