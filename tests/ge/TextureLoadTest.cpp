#include <gtest/gtest.h>
#include <gmock/gmock.h>
#include <GL/gl.h>
#include <unistd.h>

#include <functional>

#include "ge/gl/TextureLoader.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"
#include "tests/ge/GlTestWindow.h"
#include "tests/ge/ImageFiles.h"
#include "tests/support/TestSupport.h"

using imagefiles::Rgba;

namespace {

class TextureLoad : public testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_DISPLAY(); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir.File(name);
        testsupport::WriteFile(path, bytes);
        return path;
    }

    void WithRenderer(const std::function<void(ge::ZGraphicEngineOpenGL&)>& body) {
        ASSERT_TRUE(gltest::RunInGlWindow([&body] {
            ge::ZGraphicEngineOpenGL engine(gltest::windowWidth, gltest::windowHeight);
            body(engine);
        })) << "the test window never drew";
    }

    testsupport::ScratchDir dir;
};

struct SizeCase {
    int width, height;
    int texWidth, texHeight;
    float uScale, vScale;
};

const SizeCase sizeCases[] = {
    {100, 50, 128, 64, 0.78125f, 0.78125f},
    {256, 256, 256, 256, 1.0f, 1.0f},
    {257, 3, 512, 4, 257.0f / 512.0f, 0.75f},
    {1, 1, 1, 1, 1.0f, 1.0f},
};

void ExpectSlot(const ge::ZGraphicEngineOpenGL& engine, int slot, const SizeCase& c) {
    EXPECT_NE(0u, engine.TextureId(slot));
    EXPECT_TRUE(glIsTexture(engine.TextureId(slot)));
    EXPECT_EQ(c.texWidth, engine.TextureWidth(slot));
    EXPECT_EQ(c.texHeight, engine.TextureHeight(slot));
    EXPECT_EQ(c.uScale, engine.UScale(slot));
    EXPECT_EQ(c.vScale, engine.VScale(slot));
}

}  // namespace

TEST_F(TextureLoad, BmpSlotsGetPowerOfTwoTexturesAndScales) {
    WithRenderer([this](ge::ZGraphicEngineOpenGL& engine) {
        int slot = 10;
        for (const SizeCase& c : sizeCases) {
            SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
            const std::string path = Write("s.bmp", imagefiles::Bmp24(c.width, c.height, imagefiles::Pattern));
            ge::LoadBmpTextureInto(engine, "Null", slot, path.c_str());
            ExpectSlot(engine, slot, c);
            ++slot;
        }
    });
}

TEST_F(TextureLoad, PngSlotsGetPowerOfTwoTexturesAndScales) {
    WithRenderer([this](ge::ZGraphicEngineOpenGL& engine) {
        int slot = 20;
        for (const SizeCase& c : sizeCases) {
            SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
            const std::string path = Write("s.png", imagefiles::Png(c.width, c.height, imagefiles::Pattern));
            ge::LoadPngTextureInto(engine, path.c_str(), slot);
            ExpectSlot(engine, slot, c);
            ++slot;
        }
    });
}

TEST_F(TextureLoad, TheTextureHoldsTheImageAsRgbaWithNearestSampling) {
    const auto pixel = [](int x, int y) {
        return x == 1 && y == 2 ? Rgba{0, 0, 0, 255} : imagefiles::Pattern(x, y);
    };
    const std::string path = Write("content.bmp", imagefiles::Bmp24(5, 3, pixel));
    WithRenderer([&](ge::ZGraphicEngineOpenGL& engine) {
        ge::LoadBmpTextureInto(engine, "Auto", 3, path.c_str());
        EXPECT_EQ(-1, engine.BoundTexture()) << "loading selected a slot";

        glBindTexture(GL_TEXTURE_2D, engine.TextureId(3));
        GLint format = 0;
        GLint minFilter = 0;
        GLint magFilter = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        EXPECT_EQ(GL_RGBA, format);
        EXPECT_EQ(GL_NEAREST, minFilter);
        EXPECT_EQ(GL_NEAREST, magFilter);

        std::vector<uint8_t> texels(8 * 4 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const uint8_t* t = &texels[(static_cast<size_t>(y) * 8 + x) * 4];
                Rgba want = pixel(x, y);
                want.a = (x == 1 && y == 2) ? 0 : 255;
                EXPECT_TRUE((Rgba{t[0], t[1], t[2], t[3]}) == want) << x << ", " << y;
            }
        }
    });
}

TEST_F(TextureLoad, LoadersLogEachFile) {
    const std::string bmp = Write("font.bmp", imagefiles::Bmp24(16, 16, imagefiles::Pattern));
    const std::string png = Write("char.png", imagefiles::Png(30, 20, imagefiles::Pattern));
    WithRenderer([&](ge::ZGraphicEngineOpenGL& engine) {
        testing::internal::CaptureStdout();
        ge::LoadBmpTextureInto(engine, "Auto", 4, bmp.c_str());
        ge::LoadPngTextureInto(engine, png.c_str(), 7);
        EXPECT_EQ("GE.message: Texture " + bmp + " is loaded.\n"
                  "GE.message: " + png + " is decoded: W=30 H=20\n"
                  "GE.message: " + png + " was loaded by LodePNG\n",
                  testing::internal::GetCapturedStdout());
    });
}

TEST_F(TextureLoad, ProcessWideLoadersFillTheProcessWideRenderer) {
    const std::string bmp = Write("icon.bmp", imagefiles::Bmp24(100, 50, imagefiles::Pattern));
    const std::string png = Write("title.png", imagefiles::Png(320, 240, imagefiles::Pattern));
    WithRenderer([&](ge::ZGraphicEngineOpenGL& engine) {
        ge::ZTextureStoreOpenGL store(engine);
        ge::SetProcessTextureStore(&store);
        LoadBmpTexture("Auto", 6, bmp.c_str());
        EXPECT_EQ(0, LoadPngTexture(png.c_str(), 9));
        ge::SetProcessTextureStore(nullptr);
        ExpectSlot(engine, 6, sizeCases[0]);
        EXPECT_EQ(512, engine.TextureWidth(9));
        EXPECT_EQ(256, engine.TextureHeight(9));
        EXPECT_EQ(0.625f, engine.UScale(9));
        EXPECT_EQ(0.9375f, engine.VScale(9));
    });
}

TEST_F(TextureLoad, SlotsOutsideOneTo255AreRefused) {
    const std::string bmp = Write("a.bmp", imagefiles::Bmp24(2, 2, imagefiles::Pattern));
    const std::string png = Write("a.png", imagefiles::Png(2, 2, imagefiles::Pattern));
    WithRenderer([&](ge::ZGraphicEngineOpenGL& engine) {
        for (const int slot : {0, 256, -1}) {
            SCOPED_TRACE(slot);
            EXPECT_GE_ERROR(ge::LoadBmpTextureInto(engine, "Null", slot, bmp.c_str()),
                            "Texture slot is out of range");
            EXPECT_GE_ERROR(ge::LoadPngTextureInto(engine, png.c_str(), slot),
                            "Texture slot is out of range");
        }
        EXPECT_EQ(512, engine.TextureWidth(0)) << "the render texture was touched";
    });
}

TEST(TextureLoadWithoutRenderer, NeedsTheRendererFirst) {
    const std::string path = "../gfx-nowhere/font.bmp";
    ge::SetProcessTextureStore(nullptr);
    EXPECT_GE_ERROR(LoadBmpTexture("Auto", 4, path.c_str()), "Graphic Engine is not created");
    EXPECT_GE_ERROR(LoadPngTexture(path.c_str(), 9), "Graphic Engine is not created");
}
