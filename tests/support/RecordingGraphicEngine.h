#pragma once

#include <string>
#include <vector>

#include "ge/XGraphicEngine.h"

namespace testsupport {

enum class GraphicCallKind {
    BeginFrame,
    Clear,
    EndFrame,
    BindTexture,
    DrawQuad,
    SetRenderTarget,
    DrawText,
};

// One call made on a RecordingGraphicEngine. Only the fields of its kind are
// meaningful: slot (BindTexture, SetRenderTarget), quad (DrawQuad), x, y and
// text (DrawText), red, green, blue (Clear, DrawText), alpha (DrawText).
struct GraphicCall {
    GraphicCallKind kind = GraphicCallKind::BeginFrame;
    int slot = 0;
    ge::Quad quad = {};
    float x = 0.0f;
    float y = 0.0f;
    std::string text;
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 0.0f;
};

// A graphics engine that draws nothing and records every call, in order.
class RecordingGraphicEngine final : public ge::XGraphicEngine {
public:
    void BeginFrame() override;
    void Clear(float red, float green, float blue) override;
    void EndFrame() override;
    void BindTexture(int slot) override;
    void DrawQuad(const ge::Quad* quad) override;
    void SetRenderTarget(int slot) override;
    void DrawText(float x, float y, const char* text,
                  float red, float green, float blue, float alpha) override;

    // The recorded calls of one kind, in order.
    std::vector<GraphicCall> CallsOf(GraphicCallKind kind) const;
    int CountOf(GraphicCallKind kind) const;
    // Every DrawText text in order, joined by '|'.
    std::string TextsDrawn() const;
    void Reset() { calls.clear(); }

    std::vector<GraphicCall> calls;
};

}  // namespace testsupport
