#pragma once

#include "ge/XGraphicEngine.h"

namespace ge {

// An engine that draws nothing: the game's drawing goes through it for a
// frame nobody sees, advancing what drawing advances (the animation, the
// popups) with no context needed.
class ZGraphicEngineNull final : public XGraphicEngine {
public:
    void BeginFrame() override {}
    void Clear(float, float, float) override {}
    void EndFrame() override {}
    void BindTexture(int) override {}
    void DrawQuad(const Quad*) override {}
    void SetRenderTarget(int) override {}
    void DrawText(float, float, const char*, float, float, float, float) override {}
};

}  // namespace ge
