#pragma once

#include <cstdint>

#include "ge/TextureStore.h"

namespace ge {

class ZGraphicEngineOpenGL;

// Creates the OpenGL 1.1 texture of an image: RGBA, nearest. Needs the
// renderer's context to be current.
uint32_t MakeTextureOpenGL(const TextureImage& image);

// The OpenGL 1.1 renderer's side of loading.
using ZTextureStoreOpenGL = ZTextureStore<ZGraphicEngineOpenGL, MakeTextureOpenGL>;
extern template class ZTextureStore<ZGraphicEngineOpenGL, MakeTextureOpenGL>;

// Creates the OpenGL texture of the image and fills the renderer's slot
// (1..255). Needs the renderer's context to be current.
void UploadTexture(ZGraphicEngineOpenGL& engine, int slot, const TextureImage& image);

void LoadBmpTextureInto(ZGraphicEngineOpenGL& engine, const char* mode, int slot,
                        const char* path);
void LoadPngTextureInto(ZGraphicEngineOpenGL& engine, const char* path, int slot);

}  // namespace ge
