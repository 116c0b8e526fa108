#include "ge/ZGraphicEngineCore.h"

#include "ge/BitmapFont.h"

namespace ge {

ZGraphicEngineCore::ZGraphicEngineCore(int width, int height)
    : textureIds(),
      uScale(),
      vScale(),
      textureWidth(),
      textureHeight(),
      renderTarget(-1),
      viewWidth(static_cast<float>(width)),
      viewHeight(static_cast<float>(height)),
      boundTexture(-1),
      namedSlot(-1) {}

void ZGraphicEngineCore::DeleteTextures() {
    Flush();
    for (uint32_t& id : textureIds) {
        if (id != 0) {
            DeleteName(id);
            id = 0;
        }
    }
}

void ZGraphicEngineCore::SetTexture(int slot, uint32_t id, int imageWidth, int imageHeight,
                                    int texWidth, int texHeight) {
    if (!IsSlot(slot) || texWidth <= 0 || texHeight <= 0) {
        return;
    }
    Flush();
    if (textureIds[slot] != 0 && textureIds[slot] != id) {
        DeleteName(textureIds[slot]);
    }
    textureIds[slot] = id;
    uScale[slot] = static_cast<float>(imageWidth) / static_cast<float>(texWidth);
    vScale[slot] = static_cast<float>(imageHeight) / static_cast<float>(texHeight);
    textureWidth[slot] = texWidth;
    textureHeight[slot] = texHeight;
    namedSlot = slot;
}

void ZGraphicEngineCore::Clear(float red, float green, float blue) {
    Flush();
    ClearSurface(red, green, blue);
}

void ZGraphicEngineCore::EndFrame() {
    Flush();
}

// Binds a slot's name (none for -1) without selecting the slot.
void ZGraphicEngineCore::Name(int slot) {
    Flush();
    namedSlot = slot;
    BindName(IsSlot(slot) ? textureIds[slot] : 0);
}

void ZGraphicEngineCore::BindTexture(int slot) {
    if (slot == boundTexture || !IsSlot(slot)) {
        return;
    }
    boundTexture = slot;
    Name(slot);
}

void ZGraphicEngineCore::DrawQuad(const Quad* quad) {
    if (quad == nullptr || !IsSlot(boundTexture)) {
        return;
    }
    Draw(*quad, uScale[boundTexture], vScale[boundTexture]);
}

void ZGraphicEngineCore::CaptureInto(int slot) {
    Name(slot);
    Capture(static_cast<int>(viewHeight - static_cast<float>(textureHeight[slot])),
            textureWidth[slot], textureHeight[slot]);
}

// An unknown slot is ignored, so a later capture never reads outside the table.
void ZGraphicEngineCore::SetRenderTarget(int slot) {
    if (slot != -1 && !IsSlot(slot)) {
        return;
    }
    if (renderTarget != -1 && textureIds[renderTarget] != 0) {
        CaptureInto(renderTarget);
    }
    renderTarget = slot;
}

void ZGraphicEngineCore::DrawText(float x, float y, const char* text,
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
        Name(-1);
    }
}

}  // namespace ge
