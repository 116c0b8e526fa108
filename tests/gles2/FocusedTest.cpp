#include <gtest/gtest.h>


#include "ge/Quad.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ge/gles2/TextureStore.h"
#include "ge/gles2/ZGraphicEngineGLES2.h"
#include "tests/gles2/EsSurface.h"
#include "tests/gles2/SideBySide.h"

using sidebyside::DrawList;
using sidebyside::SlotImage;
using testsupport::RecordingGraphicEngine;

namespace {

const int patternSlot = 20;
const int whiteSlot = 21;
const int fontSlot = 4;

// A texture whose every texel has a colour of its own.
ge::TextureImage Distinct(int width, int height) {
    ge::TextureImage image;
    image.imageWidth = width;
    image.imageHeight = height;
    image.texWidth = ge::TextureSide(width);
    image.texHeight = ge::TextureSide(height);
    image.texels.assign(static_cast<size_t>(image.texWidth) * image.texHeight * 4, 255);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* texel = &image.texels[(static_cast<size_t>(y) * image.texWidth + x) * 4];
            texel[0] = static_cast<uint8_t>(x * 7 + y * 3);
            texel[1] = static_cast<uint8_t>(y * 5 + 40);
            texel[2] = static_cast<uint8_t>(x * 11 + y * 13);
        }
    }
    return image;
}

ge::TextureImage White() {
    ge::TextureImage image;
    image.imageWidth = image.imageHeight = image.texWidth = image.texHeight = 1;
    image.texels = {255, 255, 255, 255};
    return image;
}

// Draws the lists with both renderers and expects the same pixels.
void ExpectAlike(const std::vector<SlotImage>& textures, const std::vector<DrawList>& lists) {
    const auto expected = sidebyside::DrawWithOpenGL(textures, lists);
    const auto actual = sidebyside::DrawWithGLES2(textures, lists);
    ASSERT_EQ(lists.size(), expected.size()) << "the OpenGL 1.1 window never drew";
    ASSERT_EQ(lists.size(), actual.size()) << "no OpenGL ES 2.0 context";
    for (size_t i = 0; i < lists.size(); ++i) {
        const auto difference = sidebyside::Compare(expected[i], actual[i]);
        EXPECT_EQ(0, difference.pixels) << "picture " << i << ": "
                                        << sidebyside::Describe(difference);
    }
}

// Alike but where a pixel centre falls exactly on a texel border and the
// OpenGL 1.1 renderer took another texel than the ES renderer, which takes
// the one after the border on every implementation. Returns how many pixels
// that was.
int ExpectAlikeButBorders(const std::vector<SlotImage>& textures,
                          const std::vector<DrawList>& lists) {
    using Border = ge::ZGraphicEngineGLES2::BorderTexel;
    const auto expected = sidebyside::DrawWithOpenGL(textures, lists);
    const auto actual = sidebyside::DrawWithGLES2(textures, lists, Border::After);
    const auto other = sidebyside::DrawWithGLES2(textures, lists, Border::Before);
    EXPECT_EQ(lists.size(), expected.size()) << "the OpenGL 1.1 window never drew";
    EXPECT_EQ(lists.size(), actual.size()) << "no OpenGL ES 2.0 context";
    int atBorders = 0;
    for (size_t i = 0; i < std::min(expected.size(), actual.size()); ++i) {
        const auto difference = sidebyside::CompareButBorders(expected[i], actual[i], other[i]);
        EXPECT_EQ(0, difference.elsewhere) << "picture " << i << " differs away from texel borders, "
                                           << "first at (" << difference.firstX << ", "
                                           << difference.firstY << ")";
        atBorders += difference.atBorders;
    }
    return atBorders;
}

DrawList Cleared(RecordingGraphicEngine& recorder) {
    DrawList list = recorder.calls;
    recorder.Reset();
    return list;
}

class SideBySide : public testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_DISPLAY(); }
};

// Where one quad of the border test lies.
struct Placed {
    int x, y, w, h;
};

// True when the pixel's centre lies exactly on a border between two of n
// texels stretched over the quad, across or down.
bool OnTexelBorder(const Placed& quad, int x, int y, int n) {
    if (x < quad.x || x >= quad.x + quad.w || y < quad.y || y >= quad.y + quad.h) {
        return false;
    }
    const int i = x - quad.x;
    const int j = y - quad.y;
    return ((2 * i + 1) * n) % (2 * quad.w) == 0 || ((2 * j + 1) * n) % (2 * quad.h) == 0;
}

// 16 texels over the panels' and buttons' sizes, upright and mirrored, at
// four places: many pixel centres fall exactly on a border between two
// texels, where the texel taken is whichever way the interpolated
// coordinate rounds on OpenGL 1.1, and the texel after the border on the ES
// renderer. The OpenGL 1.1 renderer's polygon is set up as two triangles one
// by one, and the ES renderer sets up the same two, so that the colours
// interpolated over them agree.
TEST_F(SideBySide, TexelBordersOfStretchedQuads) {
    const int sizes[][2] = {{120, 28}, {120, 60}, {28, 28}, {76, 30}};
    const int origins[][2] = {{0, 0}, {138, 138}, {245, 311}, {523, 7}};
    const int texels = 16;
    RecordingGraphicEngine recorder;
    std::vector<DrawList> lists;
    int borderPixels = 0;
    for (const auto& origin : origins) {
        recorder.Clear(0.0f, 0.0f, 0.0f);
        recorder.BindTexture(patternSlot);
        int y = origin[1];
        for (const auto& size : sizes) {
            for (int mirrored = 0; mirrored < 2; ++mirrored) {
                const Placed quad{origin[0] + mirrored * (size[0] + 2), y, size[0], size[1]};
                ge::Quad drawn = MakeQuad(static_cast<float>(quad.x), static_cast<float>(quad.y),
                                          static_cast<float>(quad.w), static_cast<float>(quad.h));
                for (ge::QuadVertex& corner : drawn.vertices) {
                    corner.u = mirrored ? 1.0f - corner.u : corner.u;
                    corner.v = mirrored ? 1.0f - corner.v : corner.v;
                }
                recorder.DrawQuad(&drawn);
                for (int py = quad.y; py < quad.y + quad.h; ++py) {
                    for (int px = quad.x; px < quad.x + quad.w; ++px) {
                        borderPixels += OnTexelBorder(quad, px, py, texels) ? 1 : 0;
                    }
                }
            }
            y += size[1] + 2;
        }
        lists.push_back(Cleared(recorder));
    }
    ASSERT_GT(borderPixels, 10000) << "the sizes put too few pixel centres on texel borders";
    const int atBorders = ExpectAlikeButBorders({{patternSlot, Distinct(texels, texels)}}, lists);
    EXPECT_LT(atBorders, borderPixels);
    std::printf("%d of %d border pixels took another texel on OpenGL 1.1\n",
                atBorders, borderPixels);
}

// Every alpha level of a coloured quad over a coloured ground: the blend.
TEST_F(SideBySide, Blending) {
    RecordingGraphicEngine recorder;
    recorder.Clear(0.04f, 0.86f, 0.51f);
    recorder.BindTexture(whiteSlot);
    for (int alpha = 0; alpha < 256; ++alpha) {
        ge::Quad quad = MakeQuad(static_cast<float>(alpha % 16) * 20.0f,
                                 static_cast<float>(alpha / 16) * 14.0f, 20.0f, 14.0f);
        for (ge::QuadVertex& corner : quad.vertices) {
            corner.colour = static_cast<uint32_t>(alpha) << 24 | 0xC86432u;
        }
        recorder.DrawQuad(&quad);
    }
    ExpectAlike({{whiteSlot, White()}}, {Cleared(recorder)});
}

// A coloured texture times vertex colours that are not white, at partial
// alpha: the product is rounded as the OpenGL 1.1 renderer rounds it.
TEST_F(SideBySide, TintedTexture) {
    RecordingGraphicEngine recorder;
    recorder.Clear(0.0f, 0.0f, 0.0f);
    recorder.BindTexture(patternSlot);
    for (int level = 0; level < 16; ++level) {
        ge::Quad quad = MakeQuad(20.0f, static_cast<float>(level) * 28.0f, 600.0f, 28.0f);
        TintQuad(quad, static_cast<float>(level) / 15.0f, 0.5f, 1.0f - level / 15.0f,
                 static_cast<float>(level + 1) / 16.0f);
        recorder.DrawQuad(&quad);
    }
    ExpectAlike({{patternSlot, Distinct(30, 20)}}, {Cleared(recorder)});
}

// Text in the game's font: colours, partial alpha, lines, Cyrillic bytes; at
// a half-pixel position every column falls on a texel border.
TEST_F(SideBySide, BitmapFontText) {
    RecordingGraphicEngine recorder;
    recorder.Clear(0.2f, 0.1f, 0.3f);
    recorder.DrawText(320.0f, 20.0f, "Loading...", 0.5f, 0.5f, 0.5f, 0.94f);
    recorder.DrawText(100.5f, 60.0f, "AB\nabc\n", 1.0f, 1.0f, 0.0f, 1.0f);
    recorder.DrawText(400.0f, 100.0f, "\xC0\xE1\xE2\xE3 \xDF", 0.3f, 0.9f, 1.0f, 0.5f);
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += c == '\n' ? ' ' : static_cast<char>(c);
        if (c % 64 == 0) {
            all += '\n';
        }
    }
    recorder.DrawText(320.0f, 200.0f, all.c_str(), 1.0f, 1.0f, 1.0f, 1.0f);
    std::vector<SlotImage> font;
    for (SlotImage& art : sidebyside::GameArt()) {
        if (art.slot == fontSlot) {
            font.push_back(std::move(art));
        }
    }
    ExpectAlikeButBorders(font, {Cleared(recorder)});
}

// The virtual screen captured into the render texture and shown twice as
// large, as every frame of the game is: a picture with a colour per pixel
// drawn one to one, so that any pixel taken from the wrong place shows.
TEST_F(SideBySide, CaptureAndPresentation) {
    RecordingGraphicEngine recorder;
    ge::ZGraphicEngineAdapter adapter(&recorder, 0, 0, gltest::windowWidth,
                                      gltest::windowHeight);
    adapter.BeginFrame();
    adapter.Clear(0.0f, 0.0f, 0.0f);
    adapter.BindTexture(patternSlot);
    ge::Quad picture = MakeQuad(0.0f, 0.0f, 320.0f, 240.0f);
    adapter.DrawQuad(&picture);
    adapter.EndFrame();
    ExpectAlike({{patternSlot, Distinct(320, 240)}}, {Cleared(recorder)});
}

// Quads held back are drawn from their own texture, however the textures
// bound after them: an upload in the middle of a frame binds the new texture
// before the renderer draws what it holds, and text binds the font and back.
TEST_F(SideBySide, HeldQuadsKeepTheirTexture) {
    std::vector<gltest::Pixels> pictures;
    ASSERT_TRUE(estest::RunInEsContext([&pictures] {
        for (const bool uploadBetween : {false, true}) {
            ge::ZGraphicEngineGLES2 engine(gltest::windowWidth, gltest::windowHeight);
            ge::ZTextureStoreGLES2 store(engine);
            store.UploadTexture(patternSlot, Distinct(30, 20));
            store.UploadTexture(fontSlot, White());
            engine.Clear(0.1f, 0.2f, 0.3f);
            engine.BindTexture(patternSlot);
            for (int i = 0; i < 8; ++i) {
                ge::Quad quad = MakeQuad(static_cast<float>(i * 40), static_cast<float>(i * 30),
                                         300.0f, 200.0f);
                TintQuad(quad, 1.0f, 1.0f, 1.0f, 0.6f);
                engine.DrawQuad(&quad);
            }
            if (uploadBetween) {
                store.UploadTexture(whiteSlot, Distinct(7, 5));
            }
            engine.DrawText(320.0f, 400.0f, "Abc", 1.0f, 0.5f, 0.0f, 0.7f);
            ge::Quad last = MakeQuad(500.0f, 20.0f, 100.0f, 100.0f);
            engine.DrawQuad(&last);
            engine.EndFrame();
            pictures.push_back(estest::ReadEsPixels());
        }
    })) << "no OpenGL ES 2.0 context";
    const auto difference = sidebyside::Compare(pictures[0], pictures[1]);
    EXPECT_EQ(0, difference.pixels) << sidebyside::Describe(difference);
}

// The renderer's own book-keeping follows the OpenGL 1.1 renderer's.
TEST_F(SideBySide, SlotsAndSelection) {
    ASSERT_TRUE(estest::RunInEsContext([] {
        ge::ZGraphicEngineGLES2 engine(640, 480);
        EXPECT_EQ(-1, engine.BoundTexture());
        EXPECT_EQ(-1, engine.RenderTarget());
        EXPECT_EQ(512, engine.TextureWidth(0));
        EXPECT_EQ(256, engine.TextureHeight(0));
        ge::ZTextureStoreGLES2 store(engine);
        store.UploadTexture(9, Distinct(100, 50));
        EXPECT_FLOAT_EQ(0.78125f, engine.UScale(9));
        EXPECT_FLOAT_EQ(0.78125f, engine.VScale(9));
        EXPECT_EQ(128, engine.TextureWidth(9));
        EXPECT_EQ(-1, engine.BoundTexture()) << "an upload selects nothing";
        engine.BindTexture(9);
        engine.DrawText(10.0f, 10.0f, "", 1.0f, 1.0f, 1.0f, 1.0f);
        EXPECT_EQ(9, engine.BoundTexture()) << "text gives the selection back";
        engine.SetRenderTarget(0);
        EXPECT_EQ(0, engine.RenderTarget());
        engine.SetRenderTarget(300);
        EXPECT_EQ(0, engine.RenderTarget()) << "an unknown slot is ignored";
        EXPECT_EQ(0, engine.TextureId(300));
    })) << "no OpenGL ES 2.0 context";
}

}  // namespace
