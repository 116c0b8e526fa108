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
    : ZGraphicEngineCore(width, height),
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

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, renderTextureWidth, renderTextureHeight, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    SetNearestClamped();
    SetTexture(renderSlot, name, renderTextureWidth, renderTextureHeight,
               renderTextureWidth, renderTextureHeight);

    LogMessage("Graphic Engine is ready!", tag);
}

ZGraphicEngineGLES2::~ZGraphicEngineGLES2() {
    DeleteTextures();
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

void ZGraphicEngineGLES2::ClearSurface(float red, float green, float blue) {
    glClearColor(red, green, blue, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void ZGraphicEngineGLES2::Capture(int y, int width, int height) {
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, y, width, height, 0);
}

// The shader's texture size is the bound texture's, which a capture or an
// upload may have bound without selecting its slot.
void ZGraphicEngineGLES2::Draw(const Quad& quad, float su, float sv) {
    const int named = NamedSlot();
    if (TextureId(named) == 0) {
        return;
    }
    Corner corners[6];
    for (int i = 0; i < 6; ++i) {
        corners[i] = MakeCorner(quad.vertices[triangles[i]], su, sv, ViewWidth(), ViewHeight());
    }
    glUniform2f(texSizeLocation, static_cast<float>(TextureWidth(named)),
                static_cast<float>(TextureHeight(named)));
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(corners), corners);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glDrawArrays(GL_TRIANGLES, 3, 3);
}

void ZGraphicEngineGLES2::BindName(uint32_t id) {
    glBindTexture(GL_TEXTURE_2D, id);
}

void ZGraphicEngineGLES2::DeleteName(uint32_t id) {
    const GLuint name = id;
    glDeleteTextures(1, &name);
}

// A 512th of a texel: far above any implementation's interpolation error at
// these texture sizes, far below the distance from a border of any pixel
// centre that is not on one.
void ZGraphicEngineGLES2::ChooseBorderTexel(BorderTexel choice) {
    const float bias = 1.0f / 512.0f;
    Flush();
    glUseProgram(program);
    glUniform1f(borderBiasLocation, choice == BorderTexel::After ? bias : -bias);
}

}  // namespace ge
