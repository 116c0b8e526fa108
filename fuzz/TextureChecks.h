#pragma once

#include "fuzz/FuzzSupport.h"
#include "ge/gl/TextureLoader.h"

namespace fuzz {

inline const uint8_t* Texel(const ge::TextureImage& image, int x, int y) {
    return image.texels.data() + (static_cast<size_t>(y) * image.texWidth + x) * 4;
}

inline bool IsPowerOfTwo(int value) {
    return value > 0 && (value & (value - 1)) == 0;
}

// The image sits in the top-left corner of the smallest power-of-two
// texture that holds it, and the texel buffer is exactly that texture.
inline void CheckTextureShape(const ge::TextureImage& image) {
    const int w = image.imageWidth;
    const int h = image.imageHeight;
    if (w < 1 || h < 1 || w > ge::maxImageSide || h > ge::maxImageSide) {
        Fail("a decoded image has a size out of range");
    }
    if (!IsPowerOfTwo(image.texWidth) || image.texWidth < w || image.texWidth >= 2 * w ||
        !IsPowerOfTwo(image.texHeight) || image.texHeight < h || image.texHeight >= 2 * h) {
        Fail("a texture side is not the smallest power of two for its image");
    }
    if (image.texels.size() != static_cast<size_t>(image.texWidth) * image.texHeight * 4) {
        Fail("the texel buffer does not match the texture size");
    }
}

}  // namespace fuzz
