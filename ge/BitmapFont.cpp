#include "ge/BitmapFont.h"

namespace ge {

Quad GlyphQuad(float x, float y, unsigned char byte, uint32_t colour) {
    const float uLeft = static_cast<float>(byte % 16) * glyphGridCell;
    const float vTop = static_cast<float>(byte / 16) * glyphGridCell;
    Quad glyph = MakeQuad(x, y, glyphSize, glyphSize);
    QuadVertex* v = glyph.vertices;
    v[0].u = uLeft;                 v[0].v = vTop;
    v[1].u = uLeft + glyphGridCell; v[1].v = vTop;
    v[2].u = uLeft;                 v[2].v = vTop + glyphGridCell;
    v[3].u = uLeft + glyphGridCell; v[3].v = vTop + glyphGridCell;
    for (QuadVertex& corner : glyph.vertices) {
        corner.colour = colour;
    }
    return glyph;
}

}  // namespace ge
