#include "ge/gl/TextureLoader.h"

#include <GL/gl.h>

#include "ge/gl/ZGraphicEngineOpenGL.h"

namespace ge {

uint32_t MakeTextureOpenGL(const TextureImage& image) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.texWidth, image.texHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

template class ZTextureStore<ZGraphicEngineOpenGL, MakeTextureOpenGL>;

void UploadTexture(ZGraphicEngineOpenGL& engine, int slot, const TextureImage& image) {
    ZTextureStoreOpenGL(engine).UploadTexture(slot, image);
}

void LoadBmpTextureInto(ZGraphicEngineOpenGL& engine, const char* mode, int slot,
                        const char* path) {
    ZTextureStoreOpenGL store(engine);
    LoadBmpTextureInto(store, mode, slot, path);
}

void LoadPngTextureInto(ZGraphicEngineOpenGL& engine, const char* path, int slot) {
    ZTextureStoreOpenGL store(engine);
    LoadPngTextureInto(store, path, slot);
}

}  // namespace ge
