#include "ge/gles2/TextureStore.h"

#include <GLES2/gl2.h>

#include "ge/gles2/Shaders.h"
#include "ge/gles2/ZGraphicEngineGLES2.h"

namespace ge {

uint32_t MakeTextureGLES2(const TextureImage& image) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.texWidth, image.texHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.texels.data());
    SetNearestClamped();
    return name;
}

template class ZTextureStore<ZGraphicEngineGLES2, MakeTextureGLES2>;

}  // namespace ge
