#include "ge/gl/ZGraphicEngineOpenGL.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include "app/Log.h"
#include "ge/BitmapFont.h"

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
    : renderTarget(-1),
      viewWidth(static_cast<float>(width)),
      viewHeight(static_cast<float>(height)),
      boundTexture(-1) {
    LogMessage("Loading Graphic Engine...", tag);

    glLoadIdentity();
    glViewport(0, 0, width, height);
    glOrtho(0.0, viewWidth, 0.0, viewHeight, -1.0, 1.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    for (int slot = 0; slot < slotCount; ++slot) {
        textureIds[slot] = 0;
        uScale[slot] = 0.0f;
        vScale[slot] = 0.0f;
        textureWidth[slot] = 0;
        textureHeight[slot] = 0;
    }
    CreateRenderTexture();

    LogMessage("Graphic Engine is ready!", tag);
}

// At process end the destructor may run on a thread without the context (the
// game thread's shutdown); the textures then go with the context itself.
ZGraphicEngineOpenGL::~ZGraphicEngineOpenGL() {
    if (glXGetCurrentContext() != nullptr) {
        for (const uint32_t id : textureIds) {
            if (id != 0) {
                const GLuint name = id;
                glDeleteTextures(1, &name);
            }
        }
    }
    LogMessage("Graphic Engine is destroyed.", tag);
}

void ZGraphicEngineOpenGL::CreateRenderTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    textureIds[renderSlot] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, renderTextureWidth, renderTextureHeight, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    uScale[renderSlot] = 1.0f;
    vScale[renderSlot] = 1.0f;
    textureWidth[renderSlot] = renderTextureWidth;
    textureHeight[renderSlot] = renderTextureHeight;
}

void ZGraphicEngineOpenGL::SetTexture(int slot, uint32_t id, int imageWidth, int imageHeight,
                                      int texWidth, int texHeight) {
    if (!IsSlot(slot) || texWidth <= 0 || texHeight <= 0) {
        return;
    }
    if (textureIds[slot] != 0 && textureIds[slot] != id) {
        const GLuint old = textureIds[slot];
        glDeleteTextures(1, &old);
    }
    textureIds[slot] = id;
    uScale[slot] = static_cast<float>(imageWidth) / static_cast<float>(texWidth);
    vScale[slot] = static_cast<float>(imageHeight) / static_cast<float>(texHeight);
    textureWidth[slot] = texWidth;
    textureHeight[slot] = texHeight;
}

void ZGraphicEngineOpenGL::BeginFrame() {}

void ZGraphicEngineOpenGL::EndFrame() {}

void ZGraphicEngineOpenGL::Clear(float red, float green, float blue) {
    glClearColor(red, green, blue, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void ZGraphicEngineOpenGL::BindTexture(int slot) {
    if (slot == boundTexture || !IsSlot(slot)) {
        return;
    }
    boundTexture = slot;
    glBindTexture(GL_TEXTURE_2D, textureIds[slot]);
}

void ZGraphicEngineOpenGL::DrawQuad(const Quad* quad) {
    if (quad == nullptr || !IsSlot(boundTexture)) {
        return;
    }
    const float su = uScale[boundTexture];
    const float sv = vScale[boundTexture];
    static const int outline[4] = {0, 1, 3, 2};

    glEnable(GL_TEXTURE_2D);
    glBegin(GL_POLYGON);
    for (const int index : outline) {
        const QuadVertex& vertex = quad->vertices[index];
        SetVertexColour(vertex.colour);
        glTexCoord2f(su * vertex.u, sv * vertex.v);
        glVertex2f(vertex.x, viewHeight - vertex.y);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void ZGraphicEngineOpenGL::CaptureInto(int slot) {
    glBindTexture(GL_TEXTURE_2D, textureIds[slot]);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0,
                     static_cast<int>(viewHeight - static_cast<float>(textureHeight[slot])),
                     textureWidth[slot], textureHeight[slot], 0);
}

// An unknown slot is ignored, so a later capture never reads outside the table.
void ZGraphicEngineOpenGL::SetRenderTarget(int slot) {
    if (slot != -1 && !IsSlot(slot)) {
        return;
    }
    if (renderTarget != -1 && textureIds[renderTarget] != 0) {
        CaptureInto(renderTarget);
    }
    renderTarget = slot;
}

void ZGraphicEngineOpenGL::DrawText(float x, float y, const char* text,
                                    float red, float green, float blue, float alpha) {
    if (text == nullptr) {
        return;
    }
    const int previous = boundTexture;
    BindTexture(fontSlot);

    ForEachGlyph(x, y, text, TintColour(red, green, blue, alpha),
                 [this](Quad& glyph) { DrawQuad(&glyph); });

    if (IsSlot(previous)) {
        BindTexture(previous);
    } else {
        boundTexture = -1;
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

}  // namespace ge
