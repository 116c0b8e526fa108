#pragma once

#include <cstdint>

namespace ge {

// The vertex attributes of the quad program, at fixed locations: the order
// ge/gles2/Quad.vert declares them in.
const uint32_t quadPositionAttribute = 0;
const uint32_t quadTexCoordAttribute = 1;
const uint32_t quadColourAttribute = 2;

// Compiles and links the quad program (GLSL ES 1.00, ge/gles2/Quad.vert and
// Quad.frag); 0 if that fails.
// Uniforms: image (the sampler), borderBias (which texel a border takes),
// texSize (the bound texture's size in texels).
uint32_t LinkQuadProgram();

// Nearest sampling, edges clamped, on the texture bound to GL_TEXTURE_2D:
// the shader picks texel centres itself, so no wrapping is ever asked of the
// sampler and any texture size is allowed.
void SetNearestClamped();

}  // namespace ge
