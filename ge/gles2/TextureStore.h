#pragma once

#include "ge/TextureLoader.h"

namespace ge {

class ZGraphicEngineGLES2;

// The OpenGL ES 2.0 renderer's side of loading: the same textures as the
// OpenGL 1.1 renderer makes, RGBA, nearest, edges clamped.
class ZTextureStoreGLES2 final : public XTextureStore {
public:
    explicit ZTextureStoreGLES2(ZGraphicEngineGLES2& engine) : engine(&engine) {}
    void UploadTexture(int slot, const TextureImage& image) override;

private:
    ZGraphicEngineGLES2* engine;
};

}  // namespace ge
