#include <gtest/gtest.h>
#include <GL/gl.h>

#include <functional>
#include <thread>

#include "ge/Quad.h"
#include "ge/gl/TextureLoader.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"
#include "tests/ge/GlTestWindow.h"

using gltest::FedRect;
using gltest::FedVertex;

namespace {

const float near = 1e-3f;

// Runs body with a fresh renderer for the 640x480 test window.
void WithRenderer(const std::function<void(ge::ZGraphicEngineOpenGL&)>& body) {
    ASSERT_TRUE(gltest::RunInGlWindow([&body] {
        ge::ZGraphicEngineOpenGL engine(gltest::windowWidth, gltest::windowHeight);
        body(engine);
    })) << "the test window never drew";
}

ge::TextureImage SolidImage(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    ge::TextureImage image;
    image.imageWidth = width;
    image.imageHeight = height;
    image.texWidth = ge::TextureSide(width);
    image.texHeight = ge::TextureSide(height);
    image.texels.resize(static_cast<size_t>(image.texWidth) * image.texHeight * 4);
    for (size_t i = 0; i < image.texels.size(); i += 4) {
        image.texels[i] = r;
        image.texels[i + 1] = g;
        image.texels[i + 2] = b;
        image.texels[i + 3] = 255;
    }
    return image;
}

GLuint BoundName() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<GLuint>(name);
}

void ExpectRect(const FedRect& rect, float left, float top, float width, float height) {
    EXPECT_NEAR(left, rect.left, near);
    EXPECT_NEAR(left + width, rect.right, near);
    EXPECT_NEAR(top, rect.top, near);
    EXPECT_NEAR(top - height, rect.bottom, near);
}

// The texture window a rect samples, read at its window top-left and
// bottom-right corners.
void ExpectSamples(const FedRect& rect, float sLeft, float tTop, float sRight, float tBottom) {
    const FedVertex topLeft = rect.Corner(false, true);
    const FedVertex bottomRight = rect.Corner(true, false);
    EXPECT_NEAR(sLeft, topLeft.s, 1e-6f);
    EXPECT_NEAR(tTop, topLeft.t, 1e-6f);
    EXPECT_NEAR(sRight, bottomRight.s, 1e-6f);
    EXPECT_NEAR(tBottom, bottomRight.t, 1e-6f);
}

class Renderer : public testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_DISPLAY(); }
};

// A renderer with a font in slot 4 whose image fills its texture (scales 1).
class Text : public Renderer {
protected:
    void Draw(const std::function<void(ge::ZGraphicEngineOpenGL&)>& body) {
        WithRenderer([&body](ge::ZGraphicEngineOpenGL& engine) {
            ge::UploadTexture(engine, 4, SolidImage(256, 256, 255, 255, 255));
            body(engine);
        });
    }

    static std::vector<FedRect> TextRects(ge::ZGraphicEngineOpenGL& engine, float x, float y,
                                          const char* text) {
        return gltest::FeedbackRects(
            [&] { engine.DrawText(x, y, text, 1.0f, 1.0f, 1.0f, 1.0f); });
    }
};

}  // namespace

TEST_F(Renderer, StartsWithOnlyTheRenderTexture) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        EXPECT_NE(0u, engine.TextureId(0));
        EXPECT_TRUE(glIsTexture(engine.TextureId(0)));
        EXPECT_EQ(512, engine.TextureWidth(0));
        EXPECT_EQ(256, engine.TextureHeight(0));
        EXPECT_EQ(1.0f, engine.UScale(0));
        EXPECT_EQ(1.0f, engine.VScale(0));
        for (int slot = 1; slot < ge::ZGraphicEngineOpenGL::slotCount; ++slot) {
            ASSERT_EQ(0u, engine.TextureId(slot)) << "slot " << slot;
        }
        EXPECT_EQ(-1, engine.BoundTexture());
        EXPECT_EQ(-1, engine.RenderTarget());
        EXPECT_EQ(640.0f, engine.ViewWidth());
        EXPECT_EQ(480.0f, engine.ViewHeight());

        glBindTexture(GL_TEXTURE_2D, engine.TextureId(0));
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(512, width);
        EXPECT_EQ(256, height);
        GLint filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
        EXPECT_EQ(GL_NEAREST, filter);

        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        GLint source = 0;
        GLint destination = 0;
        glGetIntegerv(GL_BLEND_SRC, &source);
        glGetIntegerv(GL_BLEND_DST, &destination);
        EXPECT_EQ(GL_SRC_ALPHA, source);
        EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, destination);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(0, viewport[0]);
        EXPECT_EQ(0, viewport[1]);
        EXPECT_EQ(640, viewport[2]);
        EXPECT_EQ(480, viewport[3]);
    });
}

TEST_F(Renderer, LogsItsConstructionAndDestruction) {
    ASSERT_TRUE(gltest::RunInGlWindow([] {
        testing::internal::CaptureStdout();
        delete new ge::ZGraphicEngineOpenGL(640, 480);
        EXPECT_EQ(
            "GE.message: Loading Graphic Engine...\n"
            "GE.message: Graphic Engine is ready!\n"
            "GE.message: Graphic Engine is destroyed.\n",
            testing::internal::GetCapturedStdout());
    }));
}

TEST_F(Renderer, DestructionDeletesEveryTexture) {
    ASSERT_TRUE(gltest::RunInGlWindow([] {
        auto* engine = new ge::ZGraphicEngineOpenGL(640, 480);
        ge::UploadTexture(*engine, 4, SolidImage(8, 8, 1, 2, 3));
        ge::UploadTexture(*engine, 255, SolidImage(2, 2, 1, 2, 3));
        const GLuint names[3] = {engine->TextureId(0), engine->TextureId(4), engine->TextureId(255)};
        for (const GLuint name : names) {
            ASSERT_TRUE(glIsTexture(name));
        }
        delete engine;
        for (const GLuint name : names) {
            EXPECT_FALSE(glIsTexture(name)) << "texture " << name << " outlived its renderer";
        }
    }));
}

TEST_F(Renderer, DestructionOnAThreadWithoutTheContextIsSafe) {
    ASSERT_TRUE(gltest::RunInGlWindow([] {
        auto* engine = new ge::ZGraphicEngineOpenGL(640, 480);
        ge::UploadTexture(*engine, 5, SolidImage(4, 4, 9, 9, 9));
        const GLuint name = engine->TextureId(5);
        testing::internal::CaptureStdout();
        std::thread([engine] { delete engine; }).join();
        EXPECT_EQ("GE.message: Graphic Engine is destroyed.\n",
                  testing::internal::GetCapturedStdout());
        // The names belong to the context, which stays usable on this thread.
        EXPECT_TRUE(glIsTexture(name));
        glDeleteTextures(1, &name);
        EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
    }));
}

TEST_F(Renderer, ReloadingASlotReplacesItsTexture) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        ge::UploadTexture(engine, 9, SolidImage(8, 8, 1, 1, 1));
        const GLuint first = engine.TextureId(9);
        ge::UploadTexture(engine, 9, SolidImage(100, 50, 1, 1, 1));
        EXPECT_NE(first, engine.TextureId(9));
        EXPECT_FALSE(glIsTexture(first));
        EXPECT_EQ(0.78125f, engine.UScale(9));
    });
}

TEST_F(Renderer, BindingTheSelectedSlotAgainMakesNoOpenGLCall) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        ge::UploadTexture(engine, 5, SolidImage(4, 4, 9, 9, 9));
        engine.BindTexture(5);
        EXPECT_EQ(5, engine.BoundTexture());
        EXPECT_EQ(engine.TextureId(5), BoundName());

        glBindTexture(GL_TEXTURE_2D, 0);
        engine.BindTexture(5);
        EXPECT_EQ(0u, BoundName()) << "the second bind reached OpenGL";

        engine.BindTexture(0);
        EXPECT_EQ(engine.TextureId(0), BoundName());
        engine.BindTexture(5);
        EXPECT_EQ(engine.TextureId(5), BoundName());
    });
}

TEST_F(Renderer, SlotsOutsideTheTableAreIgnored) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        ge::UploadTexture(engine, 5, SolidImage(4, 4, 9, 9, 9));
        engine.BindTexture(5);
        for (const int slot : {256, -1, -2, 100000}) {
            engine.BindTexture(slot);
            EXPECT_EQ(5, engine.BoundTexture());
            EXPECT_EQ(engine.TextureId(5), BoundName());
        }
        engine.SetRenderTarget(256);
        EXPECT_EQ(-1, engine.RenderTarget());
    });
}

TEST_F(Renderer, QuadsFlipYAndScaleTextureCoordinatesBySlot) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        ge::UploadTexture(engine, 7, SolidImage(100, 50, 1, 1, 1));
        engine.BindTexture(7);
        ge::Quad quad = MakeQuad(10.0f, 0.0f, 30.0f, 480.0f);
        quad.vertices[0].colour = 0x80FF4020u;
        const std::vector<FedRect> rects = gltest::FeedbackRects([&] { engine.DrawQuad(&quad); });
        ASSERT_EQ(1u, rects.size());
        ExpectRect(rects[0], 10.0f, 480.0f, 30.0f, 480.0f);
        ExpectSamples(rects[0], 0.0f, 0.0f, 0.78125f, 0.78125f);

        const FedVertex topLeft = rects[0].Corner(false, true);
        EXPECT_NEAR(1.0f, topLeft.r, 1e-6f);
        EXPECT_NEAR(0x40 / 255.0f, topLeft.g, 1e-6f);
        EXPECT_NEAR(0x20 / 255.0f, topLeft.b, 1e-6f);
        EXPECT_NEAR(0x80 / 255.0f, topLeft.a, 1e-6f);
        EXPECT_NEAR(1.0f, rects[0].Corner(true, false).g, 1e-6f);
    });
}

TEST_F(Renderer, QuadOutlineIsNotTwisted) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        engine.BindTexture(0);
        const ge::Quad quad = MakeQuad(100.0f, 100.0f, 40.0f, 20.0f);
        const std::vector<gltest::FedPolygon> polygons =
            gltest::Feedback([&] { engine.DrawQuad(&quad); });
        // Signed areas of a twisted outline cancel; a proper one adds up.
        double area = 0.0;
        for (const gltest::FedPolygon& polygon : polygons) {
            for (size_t i = 0; i < polygon.size(); ++i) {
                const FedVertex& a = polygon[i];
                const FedVertex& b = polygon[(i + 1) % polygon.size()];
                area += 0.5 * (static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y);
            }
        }
        EXPECT_NEAR(800.0, std::abs(area), 0.01);
    });
}

TEST_F(Renderer, NothingIsDrawnWithoutASelectedSlot) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        const ge::Quad quad = MakeQuad(0.0f, 0.0f, 100.0f, 100.0f);
        EXPECT_TRUE(gltest::Feedback([&] { engine.DrawQuad(&quad); }).empty());
        engine.BindTexture(0);
        EXPECT_TRUE(gltest::Feedback([&] { engine.DrawQuad(nullptr); }).empty());
    });
}

TEST_F(Renderer, CaptureTakesTheTopLeftOfTheSurfaceWhenTheTargetIsReplaced) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        ge::UploadTexture(engine, 1, SolidImage(1, 1, 255, 255, 255));
        engine.Clear(1.0f, 0.0f, 0.0f);
        engine.SetRenderTarget(0);
        EXPECT_EQ(0, engine.RenderTarget());
        // Setting the target copied nothing: the texture is still RGBA.
        glBindTexture(GL_TEXTURE_2D, engine.TextureId(0));
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        EXPECT_EQ(GL_RGBA, format);

        engine.Clear(0.0f, 0.0f, 1.0f);
        engine.BindTexture(1);
        const auto dot = [&engine](float x, float y, float r, float g, float b) {
            ge::Quad quad = MakeQuad(x, y, 1.0f, 1.0f);
            TintQuad(quad, r, g, b, 1.0f);
            engine.DrawQuad(&quad);
        };
        dot(0.0f, 0.0f, 1.0f, 0.0f, 0.0f);      // inside, top-left corner
        dot(511.0f, 255.0f, 0.0f, 1.0f, 0.0f);  // inside, bottom-right corner
        dot(512.0f, 0.0f, 1.0f, 1.0f, 0.0f);    // just right of the window
        dot(0.0f, 256.0f, 1.0f, 0.0f, 1.0f);    // just below it
        engine.SetRenderTarget(-1);
        EXPECT_EQ(-1, engine.RenderTarget());

        std::vector<uint8_t> texels(512 * 256 * 4);
        glBindTexture(GL_TEXTURE_2D, engine.TextureId(0));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        const auto texel = [&texels](int x, int y) {
            const uint8_t* p = &texels[(static_cast<size_t>(y) * 512 + x) * 4];
            return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
        };
        // Texture row 0 holds the lowest captured surface row (y 255).
        EXPECT_EQ(0xFF0000u, texel(0, 255));
        EXPECT_EQ(0x00FF00u, texel(511, 0));
        int others = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 512; ++x) {
                if (texel(x, y) != 0x0000FFu) {
                    ++others;
                }
            }
        }
        EXPECT_EQ(2, others) << "only the two corner dots differ from the blue surface";
    });
}

TEST_F(Renderer, ReplacingNoTargetCapturesNothing) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        engine.SetRenderTarget(-1);
        glBindTexture(GL_TEXTURE_2D, engine.TextureId(0));
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        EXPECT_EQ(GL_RGBA, format);
        EXPECT_EQ(-1, engine.RenderTarget());
    });
}

TEST_F(Text, TwoBytesAreCentredOnX) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        const std::vector<FedRect> rects = TextRects(engine, 100.0f, 50.0f, "AB");
        ASSERT_EQ(2u, rects.size());
        ExpectRect(rects[0], 91.0f, 430.0f, 12.0f, 12.0f);
        ExpectRect(rects[1], 98.0f, 430.0f, 12.0f, 12.0f);
        // 'A' is 0x41: column 1, row 4 of the grid; 'B' the next column.
        ExpectSamples(rects[0], 1.0f / 16, 4.0f / 16, 2.0f / 16, 5.0f / 16);
        ExpectSamples(rects[1], 2.0f / 16, 4.0f / 16, 3.0f / 16, 5.0f / 16);
    });
}

TEST_F(Text, ThreeBytesStartSevenFurtherLeft) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        const std::vector<FedRect> rects = TextRects(engine, 100.0f, 50.0f, "abc");
        ASSERT_EQ(3u, rects.size());
        EXPECT_NEAR(88.0f, rects[0].left, near);
        EXPECT_NEAR(95.0f, rects[1].left, near);
        EXPECT_NEAR(102.0f, rects[2].left, near);
        const std::vector<FedRect> one = TextRects(engine, 100.0f, 50.0f, "a");
        ASSERT_EQ(1u, one.size());
        EXPECT_NEAR(95.0f, one[0].left, near);
    });
}

TEST_F(Text, EachLineIsCentredFourteenPixelsBelowTheLast) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        const std::vector<FedRect> rects = TextRects(engine, 100.0f, 50.0f, "A\nBC");
        ASSERT_EQ(3u, rects.size());
        ExpectRect(rects[0], 95.0f, 430.0f, 12.0f, 12.0f);
        ExpectRect(rects[1], 91.0f, 416.0f, 12.0f, 12.0f);
        ExpectRect(rects[2], 98.0f, 416.0f, 12.0f, 12.0f);
    });
}

TEST_F(Text, ATrailingNewlineEndsWithAnEmptyLine) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        const std::vector<FedRect> rects = TextRects(engine, 100.0f, 50.0f, "AB\n");
        ASSERT_EQ(2u, rects.size());
        ExpectRect(rects[0], 91.0f, 430.0f, 12.0f, 12.0f);
        ExpectRect(rects[1], 98.0f, 430.0f, 12.0f, 12.0f);
        const std::vector<FedRect> blank = TextRects(engine, 100.0f, 50.0f, "\n\nA");
        ASSERT_EQ(1u, blank.size());
        ExpectRect(blank[0], 95.0f, 402.0f, 12.0f, 12.0f);
    });
}

TEST_F(Text, CyrillicCapitalASamplesRowTwelve) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        const std::vector<FedRect> rects = TextRects(engine, 100.0f, 50.0f, "\xC0\xFF");
        ASSERT_EQ(2u, rects.size());
        ExpectSamples(rects[0], 0.0f, 12.0f / 16, 1.0f / 16, 13.0f / 16);
        ExpectSamples(rects[1], 15.0f / 16, 15.0f / 16, 1.0f, 1.0f);
    });
}

TEST_F(Text, GlyphCellsFollowTheFontImageScale) {
    WithRenderer([](ge::ZGraphicEngineOpenGL& engine) {
        // A 192x192 font in a 256x256 texture: the grid spans 0.75 of it.
        ge::UploadTexture(engine, 4, SolidImage(192, 192, 255, 255, 255));
        const std::vector<FedRect> rects = gltest::FeedbackRects(
            [&] { engine.DrawText(100.0f, 50.0f, "\xC0", 1.0f, 1.0f, 1.0f, 1.0f); });
        ASSERT_EQ(1u, rects.size());
        ExpectSamples(rects[0], 0.0f, 0.75f * 12 / 16, 0.75f / 16, 0.75f * 13 / 16);
        ExpectRect(rects[0], 95.0f, 430.0f, 12.0f, 12.0f);
    });
}

TEST_F(Text, ControlBytesAndSpacesAreDrawnAsCells) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        const std::vector<FedRect> rects = TextRects(engine, 100.0f, 50.0f, "\x01 \t");
        ASSERT_EQ(3u, rects.size());
        ExpectSamples(rects[0], 1.0f / 16, 0.0f, 2.0f / 16, 1.0f / 16);
        ExpectSamples(rects[1], 0.0f, 2.0f / 16, 1.0f / 16, 3.0f / 16);
        ExpectSamples(rects[2], 9.0f / 16, 0.0f, 10.0f / 16, 1.0f / 16);
    });
}

TEST_F(Text, GlyphsCarryTheTruncatedTint) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        const std::vector<FedRect> rects = gltest::FeedbackRects(
            [&] { engine.DrawText(40.0f, 40.0f, "Lo", 0.5f, 0.5f, 0.5f, 0.94f); });
        ASSERT_EQ(2u, rects.size());
        for (const FedRect& rect : rects) {
            for (const FedVertex& corner : rect.corners) {
                EXPECT_NEAR(127.0f / 255.0f, corner.r, 1e-6f);
                EXPECT_NEAR(127.0f / 255.0f, corner.g, 1e-6f);
                EXPECT_NEAR(127.0f / 255.0f, corner.b, 1e-6f);
                EXPECT_NEAR(239.0f / 255.0f, corner.a, 1e-6f);
            }
        }
    });
}

TEST_F(Text, EmptyTextDrawsNothingAndKeepsTheSelectedSlot) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        ge::UploadTexture(engine, 6, SolidImage(2, 2, 1, 1, 1));
        engine.BindTexture(6);
        EXPECT_TRUE(gltest::Feedback([&] { engine.DrawText(10, 10, "", 1, 1, 1, 1); }).empty());
        EXPECT_EQ(6, engine.BoundTexture());
        EXPECT_EQ(engine.TextureId(6), BoundName());
    });
}

TEST_F(Text, ThePreviouslySelectedSlotIsSelectedAgain) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        ge::UploadTexture(engine, 6, SolidImage(100, 50, 1, 1, 1));
        engine.BindTexture(6);
        engine.DrawText(100, 50, "AB", 1, 1, 1, 1);
        EXPECT_EQ(6, engine.BoundTexture());
        EXPECT_EQ(engine.TextureId(6), BoundName());
        // The next quad uses slot 6's scales again.
        const ge::Quad quad = MakeQuad(0.0f, 0.0f, 10.0f, 10.0f);
        const std::vector<FedRect> rects = gltest::FeedbackRects([&] { engine.DrawQuad(&quad); });
        ASSERT_EQ(1u, rects.size());
        ExpectSamples(rects[0], 0.0f, 0.0f, 0.78125f, 0.78125f);
    });
}

TEST_F(Text, NoSlotSelectedBeforeMeansNoneAfter) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        ASSERT_EQ(-1, engine.BoundTexture());
        engine.DrawText(100, 50, "AB", 1, 1, 1, 1);
        EXPECT_EQ(-1, engine.BoundTexture());
        const ge::Quad quad = MakeQuad(0.0f, 0.0f, 10.0f, 10.0f);
        EXPECT_TRUE(gltest::Feedback([&] { engine.DrawQuad(&quad); }).empty());
        // Selecting the font now reaches OpenGL.
        glBindTexture(GL_TEXTURE_2D, 0);
        engine.BindTexture(4);
        EXPECT_EQ(engine.TextureId(4), BoundName());
    });
}

TEST_F(Text, NullTextIsIgnored) {
    Draw([](ge::ZGraphicEngineOpenGL& engine) {
        engine.BindTexture(0);
        EXPECT_TRUE(gltest::Feedback([&] { engine.DrawText(1, 1, nullptr, 1, 1, 1, 1); }).empty());
        EXPECT_EQ(0, engine.BoundTexture());
    });
}
