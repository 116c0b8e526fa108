// The PNG loader: the texture must hold LodePNG's RGBA pixels row for row.
// Mutated files get their chunk checksums made right again (PngMutator.cpp).
#include <lodepng.h>

#include <cstring>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "fuzz/TextureChecks.h"
#include "ge/gl/TextureLoader.h"

namespace {

void CheckAgainstLodePng(const ge::TextureImage& image, const uint8_t* data, size_t size) {
    fuzz::CheckTextureShape(image);
    std::vector<unsigned char> pixels;
    unsigned width = 0;
    unsigned height = 0;
    if (lodepng::decode(pixels, width, height, data, size, LCT_RGBA, 8) != 0) {
        fuzz::Fail("an image was loaded that LodePNG cannot decode");
    }
    if (static_cast<int>(width) != image.imageWidth || static_cast<int>(height) != image.imageHeight) {
        fuzz::Fail("the loaded size differs from the file's");
    }
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (unsigned y = 0; y < height; ++y) {
        if (std::memcmp(fuzz::Texel(image, 0, static_cast<int>(y)), &pixels[rowBytes * y], rowBytes) != 0) {
            fuzz::Fail("a texture row differs from the file's row");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("image.png", data, size);
    try {
        const ge::TextureImage image = ge::DecodePng(path.c_str());
        CheckAgainstLodePng(image, data, size);
    } catch (const fuzz::LoggedError& error) {
        fuzz::CheckRefusal(error, "GE",
                           { "LodePNG decoder error; cannot load ", "Texture size is not valid",
                             "Texture is too large" });
    }
    return 0;
}
