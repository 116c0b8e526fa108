#pragma once

#include <cstdint>

#include "ge/XGraphicEngine.h"

namespace ge {

// The OpenGL 1.1 renderer: draws quads and bitmap-font text in the pixels of
// the window's surface, keeps 256 texture slots and captures the surface into
// a slot's texture when its render target is replaced.
class ZGraphicEngineOpenGL final : public XGraphicEngine {
public:
    static constexpr int slotCount = 256;
    static constexpr int renderSlot = 0;
    static constexpr int fontSlot = 4;
    static constexpr int renderTextureWidth = 512;
    static constexpr int renderTextureHeight = 256;

    // Needs the surface's OpenGL context to be current.
    ZGraphicEngineOpenGL(int width, int height);
    ~ZGraphicEngineOpenGL();

    ZGraphicEngineOpenGL(const ZGraphicEngineOpenGL&) = delete;
    ZGraphicEngineOpenGL& operator=(const ZGraphicEngineOpenGL&) = delete;

    void BeginFrame() override;
    void Clear(float red, float green, float blue) override;
    void EndFrame() override;
    void BindTexture(int slot) override;
    void DrawQuad(const Quad* quad) override;
    void SetRenderTarget(int slot) override;
    void DrawText(float x, float y, const char* text,
                  float red, float green, float blue, float alpha) override;

    // Gives a slot its texture name and the image and texture sizes the
    // scales come from. A name the slot held before is deleted.
    void SetTexture(int slot, uint32_t id, int imageWidth, int imageHeight,
                    int texWidth, int texHeight);

    static bool IsSlot(int slot) { return slot >= 0 && slot < slotCount; }

    uint32_t TextureId(int slot) const { return IsSlot(slot) ? textureIds[slot] : 0; }
    float UScale(int slot) const { return IsSlot(slot) ? uScale[slot] : 0.0f; }
    float VScale(int slot) const { return IsSlot(slot) ? vScale[slot] : 0.0f; }
    int TextureWidth(int slot) const { return IsSlot(slot) ? textureWidth[slot] : 0; }
    int TextureHeight(int slot) const { return IsSlot(slot) ? textureHeight[slot] : 0; }
    int RenderTarget() const { return renderTarget; }
    int BoundTexture() const { return boundTexture; }
    float ViewWidth() const { return viewWidth; }
    float ViewHeight() const { return viewHeight; }

private:
    void CreateRenderTexture();
    void CaptureInto(int slot);

    uint32_t textureIds[slotCount];
    float uScale[slotCount];
    float vScale[slotCount];
    int textureWidth[slotCount];
    int textureHeight[slotCount];
    int renderTarget;
    float viewWidth;
    float viewHeight;
    int boundTexture;
};

}  // namespace ge
