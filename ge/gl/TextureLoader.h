#pragma once

#include "ge/TextureLoader.h"

namespace ge {

class ZGraphicEngineOpenGL;

// The OpenGL 1.1 renderer's side of loading.
class ZTextureStoreOpenGL final : public XTextureStore {
public:
    explicit ZTextureStoreOpenGL(ZGraphicEngineOpenGL& engine) : engine(&engine) {}
    void UploadTexture(int slot, const TextureImage& image) override;

private:
    ZGraphicEngineOpenGL* engine;
};

// Creates the OpenGL texture of the image and fills the renderer's slot
// (1..255). Needs the renderer's context to be current.
void UploadTexture(ZGraphicEngineOpenGL& engine, int slot, const TextureImage& image);

void LoadBmpTextureInto(ZGraphicEngineOpenGL& engine, const char* mode, int slot,
                        const char* path);
void LoadPngTextureInto(ZGraphicEngineOpenGL& engine, const char* path, int slot);

}  // namespace ge
