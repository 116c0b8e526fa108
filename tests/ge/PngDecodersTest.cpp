#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ge/TextureLoader.h"
#include "ge/png/PngDecoder.h"
#include "tests/ge/ImageFiles.h"
#include "tests/support/TestSupport.h"

// The browser build decodes PNG files with stb_image where the desktop uses
// LodePNG: the two must give the same textures and refuse the same files.
namespace {

class PngDecoders : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir.File(name);
        testsupport::WriteFile(path, bytes);
        return path;
    }

    testsupport::ScratchDir dir;
};

// Files in the working folder under fixed names, removed at the end: a death
// test's child process runs the test again and must meet the same paths.
class FixedFiles {
public:
    ~FixedFiles() {
        for (const std::string& path : paths) {
            std::remove(path.c_str());
        }
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        paths.push_back("png-decoders-" + name);
        testsupport::WriteFile(paths.back(), bytes);
        return paths.back();
    }

private:
    std::vector<std::string> paths;
};

void ExpectSameTexture(const ge::TextureImage& want, const ge::TextureImage& got) {
    ASSERT_EQ(want.imageWidth, got.imageWidth);
    ASSERT_EQ(want.imageHeight, got.imageHeight);
    ASSERT_EQ(want.texWidth, got.texWidth);
    ASSERT_EQ(want.texHeight, got.texHeight);
    EXPECT_TRUE(want.texels == got.texels) << "the texels differ";
}

// Each of the twelve pictures: the nine PNG files as they are, the three BMP
// files as ImageMagick writes them in PNG; title.png also as palette,
// 16-bit and interlaced files.
TEST_F(PngDecoders, TheGameArtDecodesAlike) {
    std::vector<std::string> files;
    for (const char* png : {"char.png", "title.png", "grass.png", "forest.png", "snow.png",
                            "swamp.png", "desert.png", "wasteland.png", "galaxy.png"}) {
        files.push_back(imagefiles::GameArtPath(png));
    }
    const char* const resavings[][3] = {
        {"font.bmp", "", "PNG32:"},   {"system.bmp", "", "PNG32:"},
        {"icon.bmp", "", "PNG24:"},   {"title.png", "", "PNG8:"},
        {"title.png", "-depth 16", "PNG64:"}, {"title.png", "-interlace PNG", "PNG32:"},
    };
    for (const auto& resaving : resavings) {
        const std::string path =
            dir.File(std::string(resaving[2]).substr(0, 5) + "-" + resaving[0] + ".png");
        ASSERT_TRUE(imagefiles::Convert(imagefiles::GameArtPath(resaving[0]), resaving[1],
                                        std::string(resaving[2]) + path));
        files.push_back(path);
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        ExpectSameTexture(ge::DecodePngWith(ge::lodePngDecoder, file.c_str()),
                          ge::DecodePngWith(ge::stbPngDecoder, file.c_str()));
    }
}

// An empty IDAT chunk is allowed anywhere among the data chunks; one that
// comes first leaves stb_image copying nothing into a buffer not yet made.
TEST_F(PngDecoders, AnEmptyFirstDataChunkChangesNothing) {
    const std::string bytes = imagefiles::Png(16, 16, imagefiles::Pattern);
    const size_t afterHeader = 8 + 25;  // signature, IHDR chunk
    ASSERT_EQ("IDAT", bytes.substr(afterHeader + 4, 4));
    // Length 0, type, and the type's CRC-32 (the checksum of an empty chunk).
    const std::string emptyData("\0\0\0\0IDAT\x35\xAF\x06\x1E", 12);
    const std::string path = Write("empty-idat.png", bytes.substr(0, afterHeader) + emptyData +
                                                         bytes.substr(afterHeader));
    const ge::TextureImage want = ge::DecodePngWith(ge::lodePngDecoder, path.c_str());
    ExpectSameTexture(want, ge::DecodePngWith(ge::stbPngDecoder, path.c_str()));
    ExpectSameTexture(want, ge::DecodePngWith(ge::lodePngDecoder,
                                              Write("plain.png", bytes).c_str()));
}

// The damaged files of the loader's own tests, each refused by both with the
// line that names the decoder and the path.
TEST_F(PngDecoders, DamagedFilesAreRefusedAlike) {
    FixedFiles fixed;
    std::string bytes = imagefiles::Png(16, 16, imagefiles::Pattern);
    std::string flipped = bytes;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x5A);
    std::string lastCrc = bytes;
    lastCrc.back() = static_cast<char>(lastCrc.back() ^ 1);
    const std::string damaged[] = {
        fixed.Write("bmp.png", imagefiles::Bmp24(2, 2, imagefiles::Pattern)),
        fixed.Write("cut.png", bytes.substr(0, bytes.size() / 2)),
        fixed.Write("flipped.png", flipped),
        fixed.Write("end-checksum.png", lastCrc),
        fixed.Write("empty.png", ""),
        "../gfx-nowhere/gone.png",
    };
    for (const std::string& path : damaged) {
        EXPECT_GE_ERROR(ge::DecodePngWith(ge::lodePngDecoder, path.c_str()),
                        "LodePNG decoder error; cannot load " + path);
        EXPECT_GE_ERROR(ge::DecodePngWith(ge::stbPngDecoder, path.c_str()),
                        "stb_image decoder error; cannot load " + path);
    }
    const std::string wide =
        fixed.Write("long.png", imagefiles::Png(ge::maxImageSide + 1, 1, imagefiles::Pattern));
    EXPECT_GE_ERROR(ge::DecodePngWith(ge::stbPngDecoder, wide.c_str()), "Texture is too large");
}

}  // namespace
