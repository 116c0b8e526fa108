#include "ge/gles2/TextureStore.h"

#include <GLES2/gl2.h>

#include "app/Log.h"
#include "ge/gles2/Shaders.h"
#include "ge/gles2/ZGraphicEngineGLES2.h"

namespace ge {

void ZTextureStoreGLES2::UploadTexture(int slot, const TextureImage& image) {
    if (slot < 1 || slot >= ZGraphicEngineGLES2::slotCount) {
        LogError("Texture slot is out of range", "GE");
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.texWidth, image.texHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.texels.data());
    SetNearestClamped();
    engine->SetTexture(slot, name, image.imageWidth, image.imageHeight, image.texWidth,
                      image.texHeight);
}

}  // namespace ge
