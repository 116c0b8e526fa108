#pragma once

#include <cstdint>

#include "ge/XGraphicEngine.h"

namespace ge {

// What every renderer keeps alike, without a GL call: 256 texture slots, the
// render target whose texture takes a capture of the surface when the target
// is replaced, and the font's binding around text. A renderer brings the GL
// through the hooks below.
//
// Two slots are tracked: the selected one, whose scales the quads take, and
// the named one, whose texture the context has bound. They part when a
// capture or an upload binds another texture without selecting it; both
// renderers draw that as the OpenGL 1.1 renderer always has.
//
// Every hook that changes the context's state (bind, clear, capture, delete),
// every texture change and the end of a frame come after Flush, so that a
// renderer may hold back the quads it is given until then.
class ZGraphicEngineCore : public XGraphicEngine {
public:
    static constexpr int slotCount = 256;
    static constexpr int renderSlot = 0;
    static constexpr int fontSlot = 4;
    static constexpr int renderTextureWidth = 512;
    static constexpr int renderTextureHeight = 256;

    ZGraphicEngineCore(const ZGraphicEngineCore&) = delete;
    ZGraphicEngineCore& operator=(const ZGraphicEngineCore&) = delete;

    void BeginFrame() override {}
    void Clear(float red, float green, float blue) override;
    void EndFrame() override;
    void BindTexture(int slot) override;
    void DrawQuad(const Quad* quad) override;
    void SetRenderTarget(int slot) override;
    void DrawText(float x, float y, const char* text,
                  float red, float green, float blue, float alpha) override;

    // Gives a slot its texture name and the image and texture sizes the
    // scales come from. A name the slot held before is deleted. The caller
    // has bound the new name to fill it.
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

protected:
    ZGraphicEngineCore(int width, int height);
    ~ZGraphicEngineCore() = default;

    int NamedSlot() const { return namedSlot; }
    // Deletes every slot's texture; for the renderer's destructor, while the
    // context is current.
    void DeleteTextures();

    // Draws what the renderer holds back; may do nothing.
    virtual void Flush() = 0;
    // Binds the texture name (0: none) to the context's 2D target.
    virtual void BindName(uint32_t id) = 0;
    virtual void DeleteName(uint32_t id) = 0;
    virtual void ClearSurface(float red, float green, float blue) = 0;
    // Copies the surface's rectangle from (0, y) up, in window coordinates,
    // into the bound texture.
    virtual void Capture(int y, int width, int height) = 0;
    // Draws a quad whose texture coordinates take the scales (su, sv).
    virtual void Draw(const Quad& quad, float su, float sv) = 0;

private:
    void Name(int slot);
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
    int namedSlot;
};

}  // namespace ge
