#pragma once

#include "ge/XGraphicEngine.h"

namespace ge {

// Gives the game a 320x240 virtual screen drawn at (96, 8) of the renderer's
// surface, captured into the render texture (slot 0) and presented over the
// destination rectangle of the window.
class ZGraphicEngineAdapter final : public XGraphicEngine {
public:
    static constexpr float offsetX = 96.0f;
    static constexpr float offsetY = 8.0f;

    ZGraphicEngineAdapter(XGraphicEngine* engine, int destX, int destY,
                          int destWidth, int destHeight);

    void BeginFrame() override;
    void Clear(float red, float green, float blue) override;
    void EndFrame() override;
    void BindTexture(int slot) override;
    void DrawQuad(const Quad* quad) override;
    void SetRenderTarget(int slot) override;
    void DrawText(float x, float y, const char* text,
                  float red, float green, float blue, float alpha) override;

private:
    XGraphicEngine* engine;  // not owned
    int destX;
    int destY;
    int destWidth;
    int destHeight;
};

}  // namespace ge
