#include "game/DrawPainter.h"

#include "ge/Quad.h"

namespace {

const float creatureColumns = 12.0f;
const float creatureRowHeight = 0.25f;
const float groupWidth = 0.25f;

}  // namespace

TexCell CreatureCell(int group, int row, int frame) {
    const float left = groupWidth * static_cast<float>(group) +
                       static_cast<float>(frame) / creatureColumns;
    const float top = creatureRowHeight * static_cast<float>(row);
    return TexCell{left, top, left + 1.0f / creatureColumns, top + creatureRowHeight};
}

const TexCell& HeroStandingCell() {
    static const TexCell cell = CreatureCell(0, 1, 1);
    return cell;
}

void Painter::Bind(int slot) const {
    graphics.BindTexture(slot);
}

void Painter::Cell(const Rect& rect, const TexCell& cell) const {
    Draw(rect, cell, 1.0f);
}

void Painter::FadedCell(const Rect& rect, const TexCell& cell, float alpha) const {
    Draw(rect, cell, alpha);
}

void Painter::Text(float x, float y, const std::string& text, const TextColour& colour) const {
    graphics.DrawText(x, y, text.c_str(), colour.r, colour.g, colour.b, colour.a);
}

void Painter::Draw(const Rect& rect, const TexCell& cell, float alpha) const {
    ge::Quad quad = MakeQuad(rect.x, rect.y, rect.w, rect.h);
    const float us[4] = {cell.left, cell.right, cell.left, cell.right};
    const float vs[4] = {cell.top, cell.top, cell.bottom, cell.bottom};
    for (int i = 0; i < 4; i++) {
        quad.vertices[i].u = us[i];
        quad.vertices[i].v = vs[i];
    }
    if (alpha != 1.0f) {
        TintQuad(quad, 1.0f, 1.0f, 1.0f, alpha);
    }
    graphics.DrawQuad(&quad);
}
