#include "ge/gles2/Shaders.h"

#include <GLES2/gl2.h>

namespace ge {

namespace {

// Positions arrive in clip space, projected by the renderer itself.
const char* const vertexSource = R"(
attribute vec3 position;
attribute vec2 texCoord;
attribute vec4 colour;
varying vec2 vTexCoord;
varying vec4 vColour;
void main() {
    gl_Position = vec4(position, 1.0);
    vTexCoord = texCoord;
    vColour = colour;
}
)";

// The texel is chosen here, not by the sampler: its index is the floor of
// the interpolated coordinate in texels, wrapped as the desktop's repeating
// textures wrap. A pixel centre exactly on the border between two texels
// gets the one the border bias (a small fraction of a texel, either way)
// points to, however the implementation's interpolation rounds there; and the sampler is asked for that texel's centre only, so
// no implementation's sampler rounding or wrapping takes part. The colour
// arrives as whole bytes; the texel times the colour is rounded in exact
// whole-number steps, round(texel * colour / 255), as the OpenGL 1.1
// renderer's modulation comes out.
const char* const fragmentSource = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D image;
uniform vec2 texSize;
uniform float borderBias;
varying vec2 vTexCoord;
varying vec4 vColour;
void main() {
    vec2 index = mod(floor(vTexCoord * texSize + borderBias), texSize);
    vec4 texel = floor(texture2D(image, (index + 0.5) / texSize) * 255.0 + 0.5);
    vec4 product = texel * floor(vColour + 0.5) + 128.0;
    gl_FragColor = floor((product + floor(product / 256.0)) / 256.0) / 255.0;
}
)";

GLuint Compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

uint32_t LinkQuadProgram() {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, quadPositionAttribute, "position");
    glBindAttribLocation(program, quadTexCoordAttribute, "texCoord");
    glBindAttribLocation(program, quadColourAttribute, "colour");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

void SetNearestClamped() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace ge
