// The PNG loader as the browser build makes it, on stb_image: the texture
// must hold stb_image's own RGBA pixels row for row (where stb_image gives
// the same pixels every time), and a refused file must be refused with the
// loader's lines. Mutated files get their chunk
// checksums made right again (PngMutator.cpp).
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS (1 << 24)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "fuzz/TextureChecks.h"
#include "ge/TextureLoader.h"
#include "ge/png/PngDecoder.h"

namespace {

__attribute__((noinline)) void PaintStack(uint8_t paint) {
    volatile uint8_t junk[1 << 16];
    for (size_t i = 0; i < sizeof junk; ++i) {
        junk[i] = paint;
    }
}

// stb_image's pixels over a stack painted first, where its own frame will lie.
stbi_uc* DecodeOver(uint8_t paint, const uint8_t* data, size_t size, int& width, int& height) {
    int channels = 0;
    PaintStack(paint);
    return stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
}

// A paletted file whose indices pass the end of its palette gets, for those
// pixels, whatever stb_image's stack held: two decodes over differently
// painted stacks differ, and the file has no pixels to hold the loader to.
bool StbImageIsSteady(const uint8_t* data, size_t size) {
    int width = 0;
    int height = 0;
    stbi_uc* const dark = DecodeOver(0x00, data, size, width, height);
    stbi_uc* const light = DecodeOver(0xff, data, size, width, height);
    const bool steady = dark == nullptr || light == nullptr ||
                        std::memcmp(dark, light, static_cast<size_t>(width) * height * 4) == 0;
    stbi_image_free(dark);
    stbi_image_free(light);
    return steady;
}

void CheckAgainstStbImage(const ge::TextureImage& image, const uint8_t* data, size_t size) {
    fuzz::CheckTextureShape(image);
    if (!StbImageIsSteady(data, size)) {
        return;
    }
    int width = 0;
    int height = 0;
    stbi_uc* const pixels = DecodeOver(0x00, data, size, width, height);
    if (pixels == nullptr) {
        fuzz::Fail("an image was loaded that stb_image cannot decode");
    }
    if (width != image.imageWidth || height != image.imageHeight) {
        stbi_image_free(pixels);
        fuzz::Fail("the loaded size differs from the file's");
    }
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        if (std::memcmp(fuzz::Texel(image, 0, y), pixels + rowBytes * y, rowBytes) != 0) {
            stbi_image_free(pixels);
            fuzz::Fail("a texture row differs from the file's row");
        }
    }
    stbi_image_free(pixels);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("image.png", data, size);
    try {
        const ge::TextureImage image = ge::DecodePngWith(ge::stbPngDecoder, path.c_str());
        CheckAgainstStbImage(image, data, size);
    } catch (const fuzz::LoggedError& error) {
        fuzz::CheckRefusal(error, "GE",
                           {"stb_image decoder error; cannot load ", "Texture size is not valid",
                            "Texture is too large"});
    }
    return 0;
}
