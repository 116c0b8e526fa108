#pragma once

#include <cstdint>

#include "ge/TextureStore.h"

namespace ge {

class ZGraphicEngineGLES2;

// Creates the OpenGL ES 2.0 texture of an image: the same texture as the
// OpenGL 1.1 renderer makes, RGBA, nearest, edges clamped.
uint32_t MakeTextureGLES2(const TextureImage& image);

// The OpenGL ES 2.0 renderer's side of loading.
using ZTextureStoreGLES2 = ZTextureStore<ZGraphicEngineGLES2, MakeTextureGLES2>;
extern template class ZTextureStore<ZGraphicEngineGLES2, MakeTextureGLES2>;

}  // namespace ge
