#include "ge/gles2/ZGraphicEngineGLES2.h"

#include <GLES2/gl2.h>

#include <cstddef>
#include <cstring>

#include "app/Log.h"
#include "ge/BitmapFont.h"
#include "ge/gles2/Shaders.h"

namespace ge {

namespace {

const char* const tag = "GE";


// One corner as the shader reads it: position in clip space, texture
// coordinates scaled to the image's part of the texture, colour bytes 0..255.
// Depth is not tested; it only tells the quad's two triangles apart (below).
struct Corner {
    float x, y, z;
    float s, t;
    float rgba[4];
};

const size_t cornerFloats = sizeof(Corner) / sizeof(float);

// The OpenGL 1.1 renderer draws a quad as the polygon 0, 1, 3, 2, which the
// implementation cuts into the triangles 1-3-0 and 3-2-0 and sets up one by
// one; so are they here, in this order. An implementation may take two
// triangles in a row that make a rectangle for one rectangle and set up its
// interpolation another way (Mesa's llvmpipe does, in every group of six
// corners of a draw, if their positions match exactly), which can move a
// pixel centre across a texel border. The two triangles of a quad are given
// depths of their own, so that their shared corners never have the same
// position; without a depth test, depth changes no pixel.
const int triangles[6] = {1, 3, 0, 3, 2, 0};
const float triangleDepth[2] = {0.0f, 0.5f};

float Channel(uint32_t colour, int shift) {
    return static_cast<float>((colour >> shift) & 0xFFu);
}

// A window coordinate in clip space, rounded as the OpenGL 1.1 renderer's
// orthographic projection rounds it.
float Clip(float position, float scale) {
    const float scaled = position * scale;
    return scaled - 1.0f;
}

Corner MakeCorner(const QuadVertex& vertex, float depth, float su, float sv,
                  float viewWidth, float viewHeight) {
    Corner corner;
    corner.x = Clip(vertex.x, 2.0f / viewWidth);
    corner.y = Clip(viewHeight - vertex.y, 2.0f / viewHeight);
    corner.z = depth;
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
      borderBiasLocation(-1),
      pendingTexture(0),
      pendingWidth(0.0f),
      pendingHeight(0.0f),
      bufferBytes(0) {
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
    const GLsizei stride = sizeof(Corner);
    glEnableVertexAttribArray(quadPositionAttribute);
    glVertexAttribPointer(quadPositionAttribute, 3, GL_FLOAT, GL_FALSE, stride,
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

// The texture is the bound one's, which a capture or an upload may have
// bound without selecting its slot.
void ZGraphicEngineGLES2::Draw(const Quad& quad, float su, float sv) {
    const int named = NamedSlot();
    const uint32_t texture = TextureId(named);
    if (texture == 0) {
        return;
    }
    if (texture != pendingTexture) {
        Flush();
    }
    pendingTexture = texture;
    pendingWidth = static_cast<float>(TextureWidth(named));
    pendingHeight = static_cast<float>(TextureHeight(named));
    const size_t end = pending.size();
    pending.resize(end + 6 * cornerFloats);
    for (int i = 0; i < 6; ++i) {
        const Corner corner = MakeCorner(quad.vertices[triangles[i]], triangleDepth[i / 3], su,
                                         sv, ViewWidth(), ViewHeight());
        std::memcpy(&pending[end + i * cornerFloats], &corner, sizeof(corner));
    }
}

// Binds the quads' own texture: an upload binds its new one before the flush.
void ZGraphicEngineGLES2::Flush() {
    if (pending.empty()) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, pendingTexture);
    glUniform2f(texSizeLocation, pendingWidth, pendingHeight);
    const size_t bytes = pending.size() * sizeof(float);
    if (bytes > bufferBytes) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), pending.data(),
                     GL_STREAM_DRAW);
        bufferBytes = bytes;
    } else {
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), pending.data());
    }
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(pending.size() / cornerFloats));
    pending.clear();
    pendingTexture = 0;
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
