// The PNG loader: the texture must hold LodePNG's RGBA pixels row for row.
// Mutated files get their chunk checksums made right again, so that changes
// to the header and the other chunks reach the decoder instead of failing
// its checksum test.
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

const size_t signatureSize = 8;
const size_t chunkOverhead = 12;

uint32_t ReadBigEndian(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

void FixChunkChecksums(uint8_t* data, size_t size) {
    size_t at = signatureSize;
    while (at + chunkOverhead <= size) {
        const size_t length = ReadBigEndian(data + at);
        if (length > size - at - chunkOverhead) {
            return;
        }
        lodepng_chunk_generate_crc(data + at);
        at += length + chunkOverhead;
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned) {
    const size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
    FixChunkChecksums(data, mutated);
    return mutated;
}

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
