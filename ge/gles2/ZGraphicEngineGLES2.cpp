#include "ge/gles2/ZGraphicEngineGLES2.h"

#include <GLES2/gl2.h>

#include <cstddef>

#include "app/Log.h"
#include "ge/BitmapFont.h"
#include "ge/gles2/Shaders.h"

namespace ge {

namespace {

const char* const tag = "GE";


// One corner as the shader reads it: position in clip space, texture
// coordinates scaled to the image's part of the texture, colour bytes 0..255.
struct Corner {
    float x, y;
    float s, t;
    float rgba[4];
};

// The OpenGL 1.1 renderer draws a quad as the polygon 0, 1, 3, 2, which the
// implementation cuts into the triangles 1-3-0 and 3-2-0 and sets up one by
// one. Drawn here the same way, in two calls, the triangles' interpolation
// is set up alike; one call would let the implementation take the pair for
// a rectangle and set it up as one.
const int triangles[6] = {1, 3, 0, 3, 2, 0};

float Channel(uint32_t colour, int shift) {
    return static_cast<float>((colour >> shift) & 0xFFu);
}

// A window coordinate in clip space, rounded as the OpenGL 1.1 renderer's
// orthographic projection rounds it.
float Clip(float position, float scale) {
    const float scaled = position * scale;
    return scaled - 1.0f;
}

Corner MakeCorner(const QuadVertex& vertex, float su, float sv, float viewWidth,
                  float viewHeight) {
    Corner corner;
    corner.x = Clip(vertex.x, 2.0f / viewWidth);
    corner.y = Clip(viewHeight - vertex.y, 2.0f / viewHeight);
    corner.s = su * vertex.u;
    corner.t = sv * vertex.v;
    corner.rgba[0] = Channel(vertex.colour, 16);
    corner.rgba[1] = Channel(vertex.colour, 8);
    corner.rgba[2] = Channel(vertex.colour, 0);
    corner.rgba[3] = Channel(vertex.colour, 24);
    return corner;
}

}  // namespace

ZGraphicEngineGLES2::ZGraphicEngineGLES2(int width, int height)
    : renderTarget(-1),
      viewWidth(static_cast<float>(width)),
      viewHeight(static_cast<float>(height)),
      boundTexture(-1),
      namedSlot(-1),
      program(0),
      vertexBuffer(0),
      texSizeLocation(-1),
      borderBiasLocation(-1) {
    LogMessage("Loading Graphic Engine...", tag);

    glViewport(0, 0, width, height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DITHER);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    CreateProgram();

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

ZGraphicEngineGLES2::~ZGraphicEngineGLES2() {
    for (const uint32_t id : textureIds) {
        if (id != 0) {
            const GLuint name = id;
            glDeleteTextures(1, &name);
        }
    }
    const GLuint buffer = vertexBuffer;
    glDeleteBuffers(1, &buffer);
    glDeleteProgram(program);
    LogMessage("Graphic Engine is destroyed.", tag);
}

void ZGraphicEngineGLES2::CreateProgram() {
    program = LinkQuadProgram();
    if (program == 0) {
        LogError("Cannot build the quad shaders", tag);
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    texSizeLocation = glGetUniformLocation(program, "texSize");
    borderBiasLocation = glGetUniformLocation(program, "borderBias");
    ChooseBorderTexel(BorderTexel::After);

    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    vertexBuffer = buffer;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(Corner) * 6, nullptr, GL_STREAM_DRAW);
    const GLsizei stride = sizeof(Corner);
    glEnableVertexAttribArray(quadPositionAttribute);
    glVertexAttribPointer(quadPositionAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Corner, x)));
    glEnableVertexAttribArray(quadTexCoordAttribute);
    glVertexAttribPointer(quadTexCoordAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Corner, s)));
    glEnableVertexAttribArray(quadColourAttribute);
    glVertexAttribPointer(quadColourAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Corner, rgba)));
}

void ZGraphicEngineGLES2::CreateRenderTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    textureIds[renderSlot] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, renderTextureWidth, renderTextureHeight, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    SetNearestClamped();
    uScale[renderSlot] = 1.0f;
    vScale[renderSlot] = 1.0f;
    textureWidth[renderSlot] = renderTextureWidth;
    textureHeight[renderSlot] = renderTextureHeight;
    namedSlot = renderSlot;
}

void ZGraphicEngineGLES2::SetTexture(int slot, uint32_t id, int imageWidth, int imageHeight,
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
    // The caller bound the new texture to fill it.
    namedSlot = slot;
}

void ZGraphicEngineGLES2::BeginFrame() {}

void ZGraphicEngineGLES2::EndFrame() {}

void ZGraphicEngineGLES2::Clear(float red, float green, float blue) {
    glClearColor(red, green, blue, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void ZGraphicEngineGLES2::BindName(int slot) {
    namedSlot = slot;
    glBindTexture(GL_TEXTURE_2D, IsSlot(slot) ? textureIds[slot] : 0);
}

void ZGraphicEngineGLES2::BindTexture(int slot) {
    if (slot == boundTexture || !IsSlot(slot)) {
        return;
    }
    boundTexture = slot;
    BindName(slot);
}

void ZGraphicEngineGLES2::DrawQuad(const Quad* quad) {
    if (quad == nullptr || !IsSlot(boundTexture) || !IsSlot(namedSlot) ||
        textureIds[namedSlot] == 0) {
        return;
    }
    const float su = uScale[boundTexture];
    const float sv = vScale[boundTexture];
    Corner corners[6];
    for (int i = 0; i < 6; ++i) {
        corners[i] = MakeCorner(quad->vertices[triangles[i]], su, sv, viewWidth, viewHeight);
    }
    glUniform2f(texSizeLocation, static_cast<float>(textureWidth[namedSlot]),
                static_cast<float>(textureHeight[namedSlot]));
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(corners), corners);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glDrawArrays(GL_TRIANGLES, 3, 3);
}

// A 512th of a texel: far above any implementation's interpolation error at
// these texture sizes, far below the distance from a border of any pixel
// centre that is not on one.
void ZGraphicEngineGLES2::ChooseBorderTexel(BorderTexel choice) {
    const float bias = 1.0f / 512.0f;
    glUseProgram(program);
    glUniform1f(borderBiasLocation, choice == BorderTexel::After ? bias : -bias);
}

void ZGraphicEngineGLES2::CaptureInto(int slot) {
    BindName(slot);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0,
                     static_cast<int>(viewHeight - static_cast<float>(textureHeight[slot])),
                     textureWidth[slot], textureHeight[slot], 0);
}

// An unknown slot is ignored, so a later capture never reads outside the table.
void ZGraphicEngineGLES2::SetRenderTarget(int slot) {
    if (slot != -1 && !IsSlot(slot)) {
        return;
    }
    if (renderTarget != -1 && textureIds[renderTarget] != 0) {
        CaptureInto(renderTarget);
    }
    renderTarget = slot;
}

void ZGraphicEngineGLES2::DrawText(float x, float y, const char* text,
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
        BindName(-1);
    }
}

}  // namespace ge
