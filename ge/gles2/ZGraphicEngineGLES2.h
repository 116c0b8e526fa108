#pragma once

#include <cstdint>

#include "ge/XGraphicEngine.h"

namespace ge {

// The OpenGL ES 2.0 (WebGL 1) renderer: the same pictures as the OpenGL 1.1
// renderer, drawn with one shader program. Quads are two triangles with the
// texture times the vertex colour, blended by alpha; 256 texture slots; the
// surface is captured into a slot's texture when its render target is
// replaced; bitmap-font text. The shader picks each pixel's texel and
// rounds the colour product itself (Shaders.cpp) instead of leaving them to
// the implementation's sampler and arithmetic.
class ZGraphicEngineGLES2 final : public XGraphicEngine {
public:
    static constexpr int slotCount = 256;
    static constexpr int renderSlot = 0;
    static constexpr int fontSlot = 4;
    static constexpr int renderTextureWidth = 512;
    static constexpr int renderTextureHeight = 256;

    // Needs an OpenGL ES 2.0 context current on the surface, which it then
    // draws on; so does the destructor, which deletes what it made.
    ZGraphicEngineGLES2(int width, int height);
    ~ZGraphicEngineGLES2();

    ZGraphicEngineGLES2(const ZGraphicEngineGLES2&) = delete;
    ZGraphicEngineGLES2& operator=(const ZGraphicEngineGLES2&) = delete;

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

    // Which texel a pixel centre exactly on the border between two gets. The
    // one after the border is the renderer's rule, the same on every
    // implementation; the one before it lets tests find where the choice
    // shows. (OpenGL 1.1 on Mesa takes either, as its rounding falls.)
    enum class BorderTexel { After, Before };
    void ChooseBorderTexel(BorderTexel choice);

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
    void CreateProgram();
    void CreateRenderTexture();
    void BindName(int slot);
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
    // The slot whose texture the context has bound: the capture binds its
    // target without selecting it, as the OpenGL 1.1 renderer does.
    int namedSlot;
    uint32_t program;
    uint32_t vertexBuffer;
    int texSizeLocation;
    int borderBiasLocation;
};

}  // namespace ge
