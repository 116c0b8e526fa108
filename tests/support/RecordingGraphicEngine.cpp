#include "tests/support/RecordingGraphicEngine.h"

namespace testsupport {

namespace {

GraphicCall MakeCall(GraphicCallKind kind) {
    GraphicCall call;
    call.kind = kind;
    return call;
}

}  // namespace

void RecordingGraphicEngine::BeginFrame() {
    calls.push_back(MakeCall(GraphicCallKind::BeginFrame));
}

void RecordingGraphicEngine::Clear(float red, float green, float blue) {
    GraphicCall call = MakeCall(GraphicCallKind::Clear);
    call.red = red;
    call.green = green;
    call.blue = blue;
    calls.push_back(call);
}

void RecordingGraphicEngine::EndFrame() {
    calls.push_back(MakeCall(GraphicCallKind::EndFrame));
}

void RecordingGraphicEngine::BindTexture(int slot) {
    GraphicCall call = MakeCall(GraphicCallKind::BindTexture);
    call.slot = slot;
    calls.push_back(call);
}

void RecordingGraphicEngine::DrawQuad(const ge::Quad* quad) {
    GraphicCall call = MakeCall(GraphicCallKind::DrawQuad);
    call.quad = *quad;
    calls.push_back(call);
}

void RecordingGraphicEngine::SetRenderTarget(int slot) {
    GraphicCall call = MakeCall(GraphicCallKind::SetRenderTarget);
    call.slot = slot;
    calls.push_back(call);
}

void RecordingGraphicEngine::DrawText(float x, float y, const char* text,
                                      float red, float green, float blue, float alpha) {
    GraphicCall call = MakeCall(GraphicCallKind::DrawText);
    call.x = x;
    call.y = y;
    call.text = text != nullptr ? text : "";
    call.red = red;
    call.green = green;
    call.blue = blue;
    call.alpha = alpha;
    calls.push_back(call);
}

std::vector<GraphicCall> RecordingGraphicEngine::CallsOf(GraphicCallKind kind) const {
    std::vector<GraphicCall> found;
    for (const GraphicCall& call : calls) {
        if (call.kind == kind) {
            found.push_back(call);
        }
    }
    return found;
}

int RecordingGraphicEngine::CountOf(GraphicCallKind kind) const {
    return static_cast<int>(CallsOf(kind).size());
}

std::string RecordingGraphicEngine::TextsDrawn() const {
    std::string joined;
    for (const GraphicCall& call : CallsOf(GraphicCallKind::DrawText)) {
        if (!joined.empty()) {
            joined += '|';
        }
        joined += call.text;
    }
    return joined;
}

}  // namespace testsupport
