#include <gtest/gtest.h>

#include "ge/Quad.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "tests/support/RecordingGraphicEngine.h"

using testsupport::GraphicCall;
using testsupport::GraphicCallKind;
using testsupport::RecordingGraphicEngine;

namespace {

class Adapter : public testing::Test {
protected:
    RecordingGraphicEngine renderer;
    ge::ZGraphicEngineAdapter adapter{&renderer, 0, 0, 640, 480};
};

void ExpectVertex(const ge::QuadVertex& v, float x, float y, float u, float w) {
    EXPECT_EQ(x, v.x);
    EXPECT_EQ(y, v.y);
    EXPECT_FLOAT_EQ(u, v.u);
    EXPECT_FLOAT_EQ(w, v.v);
    EXPECT_EQ(0xFFFFFFFFu, v.colour);
}

}  // namespace

TEST_F(Adapter, BeginFrameStartsCaptureIntoTheRenderTexture) {
    adapter.BeginFrame();
    ASSERT_EQ(2u, renderer.calls.size());
    EXPECT_EQ(GraphicCallKind::BeginFrame, renderer.calls[0].kind);
    EXPECT_EQ(GraphicCallKind::SetRenderTarget, renderer.calls[1].kind);
    EXPECT_EQ(0, renderer.calls[1].slot);
}

TEST_F(Adapter, QuadsMoveByTheVirtualScreenOffset) {
    ge::Quad quad = MakeQuad(0.0f, 0.0f, 320.0f, 240.0f);
    quad.vertices[1].colour = 0x12345678u;
    quad.vertices[3].u = 0.25f;
    const ge::Quad before = quad;
    adapter.DrawQuad(&quad);

    ASSERT_EQ(1, renderer.CountOf(GraphicCallKind::DrawQuad));
    const ge::Quad& drawn = renderer.calls[0].quad;
    const float xs[4] = {96.0f, 416.0f, 96.0f, 416.0f};
    const float ys[4] = {8.0f, 8.0f, 248.0f, 248.0f};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(xs[i], drawn.vertices[i].x);
        EXPECT_EQ(ys[i], drawn.vertices[i].y);
        EXPECT_EQ(before.vertices[i].colour, drawn.vertices[i].colour);
        EXPECT_EQ(before.vertices[i].u, drawn.vertices[i].u);
        EXPECT_EQ(before.vertices[i].v, drawn.vertices[i].v);
        EXPECT_EQ(before.vertices[i].x, quad.vertices[i].x) << "the caller's quad changed";
        EXPECT_EQ(before.vertices[i].y, quad.vertices[i].y) << "the caller's quad changed";
    }
}

TEST_F(Adapter, TextMovesByTheOffsetWithEverythingElseKept) {
    adapter.DrawText(160.0f, 100.0f, "\xC0\xE1 ok", 0.5f, 0.25f, 1.0f, 0.94f);
    ASSERT_EQ(1u, renderer.calls.size());
    const GraphicCall& call = renderer.calls[0];
    EXPECT_EQ(GraphicCallKind::DrawText, call.kind);
    EXPECT_EQ(256.0f, call.x);
    EXPECT_EQ(108.0f, call.y);
    EXPECT_EQ("\xC0\xE1 ok", call.text);
    EXPECT_EQ(0.5f, call.red);
    EXPECT_EQ(0.25f, call.green);
    EXPECT_EQ(1.0f, call.blue);
    EXPECT_EQ(0.94f, call.alpha);
}

TEST_F(Adapter, SetRenderTargetChangesNothing) {
    adapter.SetRenderTarget(5);
    adapter.SetRenderTarget(-1);
    EXPECT_TRUE(renderer.calls.empty());
}

TEST_F(Adapter, ClearAndBindPassStraightThrough) {
    adapter.Clear(0.25f, 0.5f, 0.75f);
    adapter.BindTexture(9);
    ASSERT_EQ(2u, renderer.calls.size());
    EXPECT_EQ(GraphicCallKind::Clear, renderer.calls[0].kind);
    EXPECT_EQ(0.25f, renderer.calls[0].red);
    EXPECT_EQ(0.5f, renderer.calls[0].green);
    EXPECT_EQ(0.75f, renderer.calls[0].blue);
    EXPECT_EQ(GraphicCallKind::BindTexture, renderer.calls[1].kind);
    EXPECT_EQ(9, renderer.calls[1].slot);
}

TEST_F(Adapter, EndFrameCapturesClearsAndPresentsTheVirtualScreen) {
    adapter.EndFrame();
    ASSERT_EQ(5u, renderer.calls.size());
    EXPECT_EQ(GraphicCallKind::SetRenderTarget, renderer.calls[0].kind);
    EXPECT_EQ(-1, renderer.calls[0].slot);
    EXPECT_EQ(GraphicCallKind::BindTexture, renderer.calls[1].kind);
    EXPECT_EQ(0, renderer.calls[1].slot);
    EXPECT_EQ(GraphicCallKind::Clear, renderer.calls[2].kind);
    EXPECT_EQ(0.0f, renderer.calls[2].red);
    EXPECT_EQ(0.0f, renderer.calls[2].green);
    EXPECT_EQ(0.0f, renderer.calls[2].blue);
    EXPECT_EQ(GraphicCallKind::DrawQuad, renderer.calls[3].kind);
    EXPECT_EQ(GraphicCallKind::EndFrame, renderer.calls[4].kind);

    // Upside down over the whole window: the capture holds rows bottom-up.
    const ge::QuadVertex* v = renderer.calls[3].quad.vertices;
    ExpectVertex(v[0], 0.0f, 480.0f, 0.1875f, 0.03125f);
    ExpectVertex(v[1], 640.0f, 480.0f, 0.8125f, 0.03125f);
    ExpectVertex(v[2], 0.0f, 0.0f, 0.1875f, 0.96875f);
    ExpectVertex(v[3], 640.0f, 0.0f, 0.8125f, 0.96875f);
}

TEST(AdapterRectangle, PresentationCoversTheDestinationWithoutTheOffset) {
    RecordingGraphicEngine renderer;
    ge::ZGraphicEngineAdapter adapter(&renderer, 10, 20, 300, 200);
    adapter.EndFrame();
    const std::vector<GraphicCall> quads = renderer.CallsOf(GraphicCallKind::DrawQuad);
    ASSERT_EQ(1u, quads.size());
    const ge::QuadVertex* v = quads[0].quad.vertices;
    ExpectVertex(v[0], 10.0f, 220.0f, 0.1875f, 0.03125f);
    ExpectVertex(v[1], 310.0f, 220.0f, 0.8125f, 0.03125f);
    ExpectVertex(v[2], 10.0f, 20.0f, 0.1875f, 0.96875f);
    ExpectVertex(v[3], 310.0f, 20.0f, 0.8125f, 0.96875f);
}

TEST_F(Adapter, OneFrameReachesTheRendererInOrder) {
    adapter.BeginFrame();
    adapter.Clear(0.0f, 0.0f, 0.0f);
    adapter.DrawText(40.0f, 220.0f, "Loading...", 0.5f, 0.5f, 0.5f, 0.94f);
    adapter.EndFrame();
    const GraphicCallKind expected[] = {
        GraphicCallKind::BeginFrame, GraphicCallKind::SetRenderTarget, GraphicCallKind::Clear,
        GraphicCallKind::DrawText,   GraphicCallKind::SetRenderTarget, GraphicCallKind::BindTexture,
        GraphicCallKind::Clear,      GraphicCallKind::DrawQuad,        GraphicCallKind::EndFrame,
    };
    ASSERT_EQ(std::size(expected), renderer.calls.size());
    for (size_t i = 0; i < renderer.calls.size(); ++i) {
        EXPECT_EQ(expected[i], renderer.calls[i].kind) << "call " << i;
    }
    EXPECT_EQ("Loading...", renderer.TextsDrawn());
    EXPECT_EQ(136.0f, renderer.calls[3].x);
    EXPECT_EQ(228.0f, renderer.calls[3].y);
}
