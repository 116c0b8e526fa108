#include <gtest/gtest.h>
#include <GL/gl.h>

#include <cstdlib>
#include <functional>

#include "ge/Quad.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ge/gl/TextureLoader.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"
#include "tests/ge/GlTestWindow.h"
#include "tests/ge/ImageFiles.h"
#include "tests/support/TestSupport.h"

using imagefiles::Rgba;

namespace {

const uint32_t black = 0x000000u;
const uint32_t white = 0xFFFFFFu;
const int whiteSlot = 5;

using FrameBody = std::function<void(ge::ZGraphicEngineOpenGL&, ge::ZGraphicEngineAdapter&)>;

// Draws one frame the way the game window does: renderer and adapter over
// the whole window, a white 1x1 texture in slot 5, black clear, the body's
// drawing through the adapter, presentation. Returns the window's pixels.
gltest::Pixels Frame(const std::string& folder, const FrameBody& body) {
    gltest::Pixels pixels;
    const bool drawn = gltest::RunInGlWindow([&] {
        ge::ZGraphicEngineOpenGL engine(gltest::windowWidth, gltest::windowHeight);
        ge::ZGraphicEngineAdapter adapter(&engine, 0, 0, gltest::windowWidth,
                                          gltest::windowHeight);
        const std::string whitePath = folder + "/white.bmp";
        testsupport::WriteFile(whitePath,
                               imagefiles::Bmp24(1, 1, [](int, int) { return Rgba{255, 255, 255, 255}; }));
        ge::LoadBmpTextureInto(engine, "Null", whiteSlot, whitePath.c_str());
        adapter.BeginFrame();
        adapter.Clear(0.0f, 0.0f, 0.0f);
        body(engine, adapter);
        adapter.EndFrame();
        pixels = gltest::Pixels::Read();
    });
    EXPECT_TRUE(drawn) << "the test window never drew";
    return pixels;
}

void Fill(ge::XGraphicEngine& target, float x, float y, float w, float h, float r, float g,
          float b) {
    ge::Quad quad = MakeQuad(x, y, w, h);
    TintQuad(quad, r, g, b, 1.0f);
    target.BindTexture(whiteSlot);
    target.DrawQuad(&quad);
}

// Pixels of the window that are not the given colour, outside the box
// (left, top, right, bottom exclusive).
int OthersOutside(const gltest::Pixels& pixels, uint32_t colour, int left, int top, int right,
                  int bottom) {
    int count = 0;
    for (int y = 0; y < gltest::windowHeight; ++y) {
        for (int x = 0; x < gltest::windowWidth; ++x) {
            const bool inside = x >= left && x < right && y >= top && y < bottom;
            if (!inside && pixels.At(x, y) != colour) {
                ++count;
            }
        }
    }
    return count;
}

class Presentation : public testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_DISPLAY(); }

    testsupport::ScratchDir dir;
};

}  // namespace

TEST_F(Presentation, VirtualCornersBecomeTwoByTwoWindowBlocks) {
    const gltest::Pixels pixels = Frame(dir.Path(), [](auto&, ge::ZGraphicEngineAdapter& adapter) {
        Fill(adapter, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f);
        Fill(adapter, 319.0f, 239.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    });
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(0xFF0000u, pixels.At(x, y)) << x << ", " << y;
            EXPECT_EQ(0x00FF00u, pixels.At(638 + x, 478 + y)) << 638 + x << ", " << 478 + y;
        }
    }
    EXPECT_EQ(black, pixels.At(2, 0));
    EXPECT_EQ(black, pixels.At(0, 2));
    EXPECT_EQ(black, pixels.At(637, 479));
    EXPECT_EQ(black, pixels.At(639, 477));
    int lit = 0;
    for (int y = 0; y < gltest::windowHeight; ++y) {
        for (int x = 0; x < gltest::windowWidth; ++x) {
            lit += pixels.At(x, y) != black ? 1 : 0;
        }
    }
    EXPECT_EQ(8, lit);
}

TEST_F(Presentation, TheWholeVirtualScreenFillsTheWindowExactly) {
    const gltest::Pixels pixels = Frame(dir.Path(), [](auto&, ge::ZGraphicEngineAdapter& adapter) {
        Fill(adapter, 0.0f, 0.0f, 320.0f, 240.0f, 1.0f, 1.0f, 1.0f);
    });
    EXPECT_EQ(0, OthersOutside(pixels, white, 0, 0, 0, 0));
}

TEST_F(Presentation, NothingOutsideTheVirtualScreenShows) {
    const gltest::Pixels pixels = Frame(dir.Path(), [](auto&, ge::ZGraphicEngineAdapter& adapter) {
        // Everything of the surface around the virtual screen, and beyond.
        Fill(adapter, -96.0f, -8.0f, 96.0f, 480.0f, 1.0f, 1.0f, 1.0f);
        Fill(adapter, 320.0f, -8.0f, 320.0f, 480.0f, 1.0f, 1.0f, 1.0f);
        Fill(adapter, -96.0f, -8.0f, 640.0f, 8.0f, 1.0f, 1.0f, 1.0f);
        Fill(adapter, -96.0f, 240.0f, 640.0f, 240.0f, 1.0f, 1.0f, 1.0f);
        adapter.DrawText(-40.0f, 100.0f, "outside", 1.0f, 1.0f, 1.0f, 1.0f);
    });
    EXPECT_EQ(0, OthersOutside(pixels, black, 0, 0, 0, 0));
}

TEST_F(Presentation, NearestFilteringKeepsBlocksSharp) {
    const auto checker = [](int x, int y) {
        return (x + y) % 2 == 0 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
    };
    const std::string path = dir.File("checker.bmp");
    testsupport::WriteFile(path, imagefiles::Bmp24(4, 4, checker));
    const gltest::Pixels pixels =
        Frame(dir.Path(), [&path](ge::ZGraphicEngineOpenGL& engine, ge::ZGraphicEngineAdapter& adapter) {
            ge::LoadBmpTextureInto(engine, "Null", 6, path.c_str());
            adapter.BindTexture(6);
            const ge::Quad exact = MakeQuad(10.0f, 10.0f, 4.0f, 4.0f);
            adapter.DrawQuad(&exact);
            const ge::Quad doubled = MakeQuad(100.0f, 50.0f, 8.0f, 8.0f);
            adapter.DrawQuad(&doubled);
        });
    // One texel per virtual pixel: 2x2 window pixels each.
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint32_t want = checker(x / 2, y / 2).r == 255 ? white : black;
            ASSERT_EQ(want, pixels.At(20 + x, 20 + y)) << x << ", " << y;
        }
    }
    // One texel per 2x2 virtual pixels: 4x4 window pixels each.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const uint32_t want = checker(x / 4, y / 4).r == 255 ? white : black;
            ASSERT_EQ(want, pixels.At(200 + x, 100 + y)) << x << ", " << y;
        }
    }
}

TEST_F(Presentation, BmpAndPngImagesShowUpright) {
    const Rgba corners[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
    const auto image = [&corners](int x, int y) { return corners[y * 2 + x]; };
    const std::string bmp = dir.File("corners.bmp");
    const std::string png = dir.File("corners.png");
    testsupport::WriteFile(bmp, imagefiles::Bmp24(2, 2, image));
    testsupport::WriteFile(png, imagefiles::Png(2, 2, image));
    const gltest::Pixels pixels = Frame(dir.Path(), [&](ge::ZGraphicEngineOpenGL& engine,
                                                        ge::ZGraphicEngineAdapter& adapter) {
        ge::LoadBmpTextureInto(engine, "Null", 7, bmp.c_str());
        ge::LoadPngTextureInto(engine, png.c_str(), 9);
        for (const int slot : {7, 9}) {
            adapter.BindTexture(slot);
            const ge::Quad quad = MakeQuad(slot == 7 ? 0.0f : 10.0f, 0.0f, 2.0f, 2.0f);
            adapter.DrawQuad(&quad);
        }
    });
    for (const int left : {0, 20}) {
        SCOPED_TRACE(left == 0 ? "bmp" : "png");
        for (int i = 0; i < 4; ++i) {
            const Rgba want = corners[i];
            const uint32_t rgb = static_cast<uint32_t>(want.r) << 16 | want.g << 8 | want.b;
            const int x = left + (i % 2) * 2;
            const int y = (i / 2) * 2;
            EXPECT_EQ(rgb, pixels.At(x, y)) << "corner " << i;
            EXPECT_EQ(rgb, pixels.At(x + 1, y + 1)) << "corner " << i;
        }
    }
}

TEST_F(Presentation, TintedGlyphShowsOnlyWhereTheFontIsNotBlack) {
    // A 192x192 font: 12x12 cells, drawn one texel per surface pixel.
    const auto font = [](int x, int y) {
        if ((x * 7 + y * 3) % 5 == 0) {
            return Rgba{255, 255, 255, 255};
        }
        if ((x + y) % 11 == 0) {
            return Rgba{0, 0, 1, 255};  // nearly black: must still cover
        }
        return Rgba{0, 0, 0, 255};
    };
    const std::string path = dir.File("font.bmp");
    testsupport::WriteFile(path, imagefiles::Bmp24(192, 192, font));
    gltest::Pixels pixels;
    ASSERT_TRUE(gltest::RunInGlWindow([&] {
        ge::ZGraphicEngineOpenGL engine(gltest::windowWidth, gltest::windowHeight);
        ge::LoadBmpTextureInto(engine, "Auto", 4, path.c_str());
        engine.Clear(0.0f, 0.0f, 0.5f);
        engine.DrawText(100.0f, 50.0f, "\xC0", 1.0f, 0.5f, 0.0f, 1.0f);
        pixels = gltest::Pixels::Read();
    }));
    const uint32_t background = pixels.At(300, 300);
    ASSERT_EQ(0u, background & 0xFFFF00u);
    ASSERT_NE(0u, background);
    // 0xC0: column 0, row 12 of the grid; the line of one glyph starts at 95.
    int shown = 0;
    for (int j = 0; j < 12; ++j) {
        for (int i = 0; i < 12; ++i) {
            const Rgba texel = font(i, 12 * 12 + j);
            const uint32_t got = pixels.At(95 + i, 50 + j);
            if (texel.r == 0 && texel.g == 0 && texel.b == 0) {
                EXPECT_EQ(background, got) << "black font texel " << i << ", " << j << " covered";
                continue;
            }
            ++shown;
            const uint32_t red = got >> 16;
            const uint32_t green = (got >> 8) & 0xFF;
            EXPECT_EQ(texel.r, red) << i << ", " << j;
            EXPECT_LE(std::abs(static_cast<int>(green) - texel.g * 127 / 255), 1) << i << ", " << j;
            EXPECT_EQ(0u, got & 0xFF) << i << ", " << j;
        }
    }
    EXPECT_GT(shown, 20);
    EXPECT_EQ(0, OthersOutside(pixels, background, 95, 50, 107, 62));
}

TEST_F(Presentation, LoadingLineLandsLeftOfTheScreenBottom) {
    const std::string path = dir.File("font.bmp");
    testsupport::WriteFile(path, imagefiles::Bmp24(192, 192, [](int, int) {
        return Rgba{255, 255, 255, 255};
    }));
    const gltest::Pixels pixels = Frame(dir.Path(), [&path](ge::ZGraphicEngineOpenGL& engine,
                                                            ge::ZGraphicEngineAdapter& adapter) {
        ge::LoadBmpTextureInto(engine, "Auto", 4, path.c_str());
        adapter.DrawText(40.0f, 220.0f, "Loading...", 0.5f, 0.5f, 0.5f, 0.94f);
    });
    // Ten glyphs centred on virtual x 40: virtual x 3..78, y 220..232.
    EXPECT_EQ(0, OthersOutside(pixels, black, 6, 440, 156, 464));
    const uint32_t grey = pixels.At(100, 450);
    EXPECT_NE(black, grey);
    EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
    EXPECT_EQ(grey & 0xFF, grey >> 16);
    EXPECT_EQ(grey, pixels.At(6, 440));
    EXPECT_EQ(grey, pixels.At(155, 463));
}
