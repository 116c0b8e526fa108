#include "ge/ZGraphicEngineAdapter.h"

namespace ge {

namespace {

const int renderSlot = 0;

// Where the virtual screen lies in the 512x256 render texture. The capture
// keeps the surface's rows bottom-up, so the low v is the screen's bottom.
const float screenLeftU = 96.0f / 512.0f;
const float screenRightU = 416.0f / 512.0f;
const float screenBottomV = 8.0f / 256.0f;
const float screenTopV = 248.0f / 256.0f;

}  // namespace

ZGraphicEngineAdapter::ZGraphicEngineAdapter(XGraphicEngine* engine, int destX, int destY,
                                             int destWidth, int destHeight)
    : engine(engine), destX(destX), destY(destY), destWidth(destWidth), destHeight(destHeight) {}

void ZGraphicEngineAdapter::BeginFrame() {
    engine->BeginFrame();
    engine->SetRenderTarget(renderSlot);
}

void ZGraphicEngineAdapter::Clear(float red, float green, float blue) {
    engine->Clear(red, green, blue);
}

void ZGraphicEngineAdapter::EndFrame() {
    engine->SetRenderTarget(-1);
    engine->BindTexture(renderSlot);
    engine->Clear(0.0f, 0.0f, 0.0f);

    // The picture is turned right side up by mirroring y about the middle.
    Quad present = MakeQuad(static_cast<float>(destX), static_cast<float>(destY),
                            static_cast<float>(destWidth), static_cast<float>(destHeight));
    QuadVertex* v = present.vertices;
    const float top = v[0].y;
    const float bottom = v[2].y;
    v[0].y = bottom;
    v[1].y = bottom;
    v[2].y = top;
    v[3].y = top;
    v[0].u = screenLeftU;  v[0].v = screenBottomV;
    v[1].u = screenRightU; v[1].v = screenBottomV;
    v[2].u = screenLeftU;  v[2].v = screenTopV;
    v[3].u = screenRightU; v[3].v = screenTopV;
    engine->DrawQuad(&present);
    engine->EndFrame();
}

void ZGraphicEngineAdapter::BindTexture(int slot) {
    engine->BindTexture(slot);
}

void ZGraphicEngineAdapter::DrawQuad(const Quad* quad) {
    Quad moved = *quad;
    for (QuadVertex& vertex : moved.vertices) {
        vertex.x += offsetX;
        vertex.y += offsetY;
    }
    engine->DrawQuad(&moved);
}

void ZGraphicEngineAdapter::SetRenderTarget(int) {}

void ZGraphicEngineAdapter::DrawText(float x, float y, const char* text,
                                     float red, float green, float blue, float alpha) {
    engine->DrawText(x + offsetX, y + offsetY, text, red, green, blue, alpha);
}

}  // namespace ge
