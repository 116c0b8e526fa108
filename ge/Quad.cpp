#include "ge/Quad.h"

namespace {

const uint32_t opaqueWhite = 0xFFFFFFFFu;

uint32_t ScaleChannel(uint32_t colour, int shift, float factor) {
    const float scaled = static_cast<float>((colour >> shift) & 0xFFu) * factor;
    const int64_t truncated = static_cast<int64_t>(scaled);
    return (static_cast<uint32_t>(truncated) & 0xFFu) << shift;
}

uint32_t TintPacked(uint32_t colour, float r, float g, float b, float a) {
    return ScaleChannel(colour, 24, a) | ScaleChannel(colour, 16, r) |
           ScaleChannel(colour, 8, g) | ScaleChannel(colour, 0, b);
}

}  // namespace

ge::Quad MakeQuad(float x, float y, float w, float h) {
    const float right = x + w;
    const float bottom = y + h;
    return ge::Quad{{
        {x, y, opaqueWhite, 0.0f, 0.0f},
        {right, y, opaqueWhite, 1.0f, 0.0f},
        {x, bottom, opaqueWhite, 0.0f, 1.0f},
        {right, bottom, opaqueWhite, 1.0f, 1.0f},
    }};
}

ge::Quad& TintQuad(ge::Quad& quad, float r, float g, float b, float a) {
    for (ge::QuadVertex& vertex : quad.vertices) {
        vertex.colour = TintPacked(vertex.colour, r, g, b, a);
    }
    return quad;
}

uint32_t TintColour(float r, float g, float b, float a) {
    return TintPacked(opaqueWhite, r, g, b, a);
}
