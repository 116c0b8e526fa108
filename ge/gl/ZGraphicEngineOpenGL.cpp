#include "ge/gl/ZGraphicEngineOpenGL.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include "app/Log.h"

namespace ge {

namespace {

const char* const tag = "GE";


void SetVertexColour(uint32_t colour) {
    glColor4f(static_cast<float>((colour >> 16) & 0xFFu) / 255.0f,
              static_cast<float>((colour >> 8) & 0xFFu) / 255.0f,
              static_cast<float>(colour & 0xFFu) / 255.0f,
              static_cast<float>((colour >> 24) & 0xFFu) / 255.0f);
}

}  // namespace

ZGraphicEngineOpenGL::ZGraphicEngineOpenGL(int width, int height)
    : ZGraphicEngineCore(width, height) {
    LogMessage("Loading Graphic Engine...", tag);

    glLoadIdentity();
    glViewport(0, 0, width, height);
    glOrtho(0.0, ViewWidth(), 0.0, ViewHeight(), -1.0, 1.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, renderTextureWidth, renderTextureHeight, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    SetTexture(renderSlot, name, renderTextureWidth, renderTextureHeight,
               renderTextureWidth, renderTextureHeight);

    LogMessage("Graphic Engine is ready!", tag);
}

// At process end the destructor may run on a thread without the context (the
// game thread's shutdown); the textures then go with the context itself.
ZGraphicEngineOpenGL::~ZGraphicEngineOpenGL() {
    if (glXGetCurrentContext() != nullptr) {
        DeleteTextures();
    }
    LogMessage("Graphic Engine is destroyed.", tag);
}

void ZGraphicEngineOpenGL::BindName(uint32_t id) {
    glBindTexture(GL_TEXTURE_2D, id);
}

void ZGraphicEngineOpenGL::DeleteName(uint32_t id) {
    const GLuint name = id;
    glDeleteTextures(1, &name);
}

void ZGraphicEngineOpenGL::ClearSurface(float red, float green, float blue) {
    glClearColor(red, green, blue, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void ZGraphicEngineOpenGL::Capture(int y, int width, int height) {
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, y, width, height, 0);
}

void ZGraphicEngineOpenGL::Draw(const Quad& quad, float su, float sv) {
    static const int outline[4] = {0, 1, 3, 2};

    glEnable(GL_TEXTURE_2D);
    glBegin(GL_POLYGON);
    for (const int index : outline) {
        const QuadVertex& vertex = quad.vertices[index];
        SetVertexColour(vertex.colour);
        glTexCoord2f(su * vertex.u, sv * vertex.v);
        glVertex2f(vertex.x, ViewHeight() - vertex.y);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

}  // namespace ge
