#pragma once

#include <cstdint>

#include "ge/Quad.h"

namespace ge {

// The game's bitmap font: a 16x16 grid of glyphs over the font texture, each
// byte's glyph drawn 12 pixels square, 7 pixels after the one before, lines
// 14 pixels apart, each line centred on x.
const float glyphSize = 12.0f;
const float glyphAdvance = 7.0f;
const float lineAdvance = 14.0f;
const float glyphGridCell = 1.0f / 16.0f;

// Where a line of n glyphs starts so that its 7n + 5 pixels are centred on x.
inline float LineStart(float x, int n) {
    return x - static_cast<float>(7 * (n / 2)) - static_cast<float>(3 * (n % 2)) - 2.0f;
}

// The quad of one byte's glyph with its top-left corner at (x, y).
Quad GlyphQuad(float x, float y, unsigned char byte, uint32_t colour);

// Lays out text (lines split at '\n') from (x, y) and hands every glyph's
// quad to draw, in order, as each renderer draws them.
template <typename Draw>
void ForEachGlyph(float x, float y, const char* text, uint32_t colour, Draw&& draw) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    float lineTop = y;
    int lineStart = 0;
    for (int i = 0;; ++i) {
        if (bytes[i] != '\n' && bytes[i] != 0) {
            continue;
        }
        float penX = LineStart(x, i - lineStart);
        for (int j = lineStart; j < i; ++j) {
            Quad glyph = GlyphQuad(penX, lineTop, bytes[j], colour);
            draw(glyph);
            penX += glyphAdvance;
        }
        lineTop += lineAdvance;
        if (bytes[i] == 0) {
            break;
        }
        lineStart = i + 1;
    }
}

}  // namespace ge
