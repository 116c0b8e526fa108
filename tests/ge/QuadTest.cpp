#include <gtest/gtest.h>

#include "ge/Quad.h"

TEST(MakeQuad, CornersRunTopLeftTopRightBottomLeftBottomRight) {
    const ge::Quad quad = MakeQuad(10.0f, 20.0f, 30.0f, 40.0f);
    const float xs[4] = {10.0f, 40.0f, 10.0f, 40.0f};
    const float ys[4] = {20.0f, 20.0f, 60.0f, 60.0f};
    const float us[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    const float vs[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(xs[i], quad.vertices[i].x);
        EXPECT_EQ(ys[i], quad.vertices[i].y);
        EXPECT_EQ(us[i], quad.vertices[i].u);
        EXPECT_EQ(vs[i], quad.vertices[i].v);
        EXPECT_EQ(0xFFFFFFFFu, quad.vertices[i].colour);
    }
}

TEST(MakeQuad, FarEdgesAreSinglePrecisionSums) {
    // 2^24 + 1 cannot be held by a float: the edge rounds to 2^24.
    const ge::Quad quad = MakeQuad(16777216.0f, 0.5f, 1.0f, 0.25f);
    EXPECT_EQ(16777216.0f, quad.vertices[1].x);
    EXPECT_EQ(0.75f, quad.vertices[3].y);
}

TEST(TintColour, TruncatesEachChannel) {
    EXPECT_EQ(0xB2FFFFFFu, TintColour(1.0f, 1.0f, 1.0f, 0.7f));
    EXPECT_EQ(0x7FFFFFFFu, TintColour(1.0f, 1.0f, 1.0f, 0.5f));
    EXPECT_EQ(0xEF7F7F7Fu, TintColour(0.5f, 0.5f, 0.5f, 0.94f));
    EXPECT_EQ(0xFFFFFFFFu, TintColour(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(0x00000000u, TintColour(0.0f, 0.0f, 0.0f, 0.0f));
}

TEST(TintColour, ChannelsLandInAlphaRedGreenBlueOrder) {
    EXPECT_EQ(0xFF00FFFFu, TintColour(0.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(0xFFFF00FFu, TintColour(1.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_EQ(0xFFFFFF00u, TintColour(1.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ(0x00FFFFFFu, TintColour(1.0f, 1.0f, 1.0f, 0.0f));
}

TEST(TintColour, OutOfRangeFactorsKeepTheLowEightBits) {
    // 255 x 2 = 510 = 0x1FE; the red byte keeps 0xFE and leaves alpha alone.
    EXPECT_EQ(0xFFFEFFFFu, TintColour(2.0f, 1.0f, 1.0f, 1.0f));
}

TEST(TintQuad, TintsEveryVertexInPlace) {
    ge::Quad quad = MakeQuad(0.0f, 0.0f, 8.0f, 8.0f);
    quad.vertices[2].colour = 0x80402010u;
    ge::Quad& result = TintQuad(quad, 0.5f, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(&quad, &result);
    EXPECT_EQ(0x7F7F7F7Fu, quad.vertices[0].colour);
    EXPECT_EQ(0x7F7F7F7Fu, quad.vertices[1].colour);
    EXPECT_EQ(0x40201008u, quad.vertices[2].colour);
    EXPECT_EQ(0x7F7F7F7Fu, quad.vertices[3].colour);
    EXPECT_EQ(8.0f, quad.vertices[3].x);
    EXPECT_EQ(1.0f, quad.vertices[3].u);
}
