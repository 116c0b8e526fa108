#pragma once

#include <cstdint>

namespace ge {

// One corner of a quad: position in pixels (y grows downward), packed colour
// 0xAARRGGBB that multiplies the texture, texture coordinates 0..1 of the image.
struct QuadVertex {
    float x;
    float y;
    uint32_t colour;
    float u;
    float v;
};

// Vertex order: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
struct Quad {
    QuadVertex vertices[4];
};

}  // namespace ge

// The quad over the rectangle (x, y, w, h): opaque white, texture 0..1.
ge::Quad MakeQuad(float x, float y, float w, float h);

// Multiplies each channel of each vertex colour by its factor, truncating.
ge::Quad& TintQuad(ge::Quad& quad, float r, float g, float b, float a);

// The packed colour opaque white tinted by the factors (TintQuad's rule).
uint32_t TintColour(float r, float g, float b, float a);
