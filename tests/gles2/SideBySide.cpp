#include "tests/gles2/SideBySide.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "ge/gl/TextureLoader.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"
#include "ge/gles2/TextureStore.h"
#include "ge/gles2/ZGraphicEngineGLES2.h"
#include "tests/ge/ImageFiles.h"
#include "tests/gles2/EsSurface.h"

namespace sidebyside {

using testsupport::GraphicCall;
using testsupport::GraphicCallKind;

std::vector<SlotImage> GameArt() {
    struct Art {
        int slot;
        const char* file;
        const char* mode;  // BMP transparency; nullptr for PNG
    };
    const Art art[] = {
        {4, "font.bmp", "Auto"},    {5, "system.bmp", "Null"},  {6, "icon.bmp", "Auto"},
        {7, "char.png", nullptr},   {9, "title.png", nullptr},  {10, "grass.png", nullptr},
        {11, "forest.png", nullptr}, {12, "snow.png", nullptr}, {13, "swamp.png", nullptr},
        {14, "desert.png", nullptr}, {15, "wasteland.png", nullptr}, {16, "galaxy.png", nullptr},
    };
    std::vector<SlotImage> images;
    for (const Art& a : art) {
        const std::string path = imagefiles::GameArtPath(a.file);
        images.push_back({a.slot, a.mode != nullptr ? ge::DecodeBmp(a.mode, path.c_str())
                                                    : ge::DecodePng(path.c_str())});
    }
    return images;
}

void Replay(const DrawList& calls, ge::XGraphicEngine& engine) {
    for (const GraphicCall& call : calls) {
        switch (call.kind) {
        case GraphicCallKind::BeginFrame:
            engine.BeginFrame();
            break;
        case GraphicCallKind::Clear:
            engine.Clear(call.red, call.green, call.blue);
            break;
        case GraphicCallKind::EndFrame:
            engine.EndFrame();
            break;
        case GraphicCallKind::BindTexture:
            engine.BindTexture(call.slot);
            break;
        case GraphicCallKind::DrawQuad:
            engine.DrawQuad(&call.quad);
            break;
        case GraphicCallKind::SetRenderTarget:
            engine.SetRenderTarget(call.slot);
            break;
        case GraphicCallKind::DrawText:
            engine.DrawText(call.x, call.y, call.text.c_str(), call.red, call.green, call.blue,
                            call.alpha);
            break;
        }
    }
}

namespace {

template <typename Engine, typename Store>
std::vector<gltest::Pixels> DrawAll(const std::vector<SlotImage>& textures,
                                    const std::vector<DrawList>& lists,
                                    gltest::Pixels (*read)(),
                                    const std::function<void(Engine&)>& prepare = nullptr) {
    std::vector<gltest::Pixels> pictures;
    Engine engine(gltest::windowWidth, gltest::windowHeight);
    if (prepare) {
        prepare(engine);
    }
    Store store(engine);
    for (const SlotImage& texture : textures) {
        store.UploadTexture(texture.slot, texture.image);
    }
    for (const DrawList& list : lists) {
        Replay(list, engine);
        engine.EndFrame();  // draws what a renderer holds back
        pictures.push_back(read());
    }
    return pictures;
}

}  // namespace

std::vector<gltest::Pixels> DrawWithOpenGL(const std::vector<SlotImage>& textures,
                                           const std::vector<DrawList>& lists) {
    std::vector<gltest::Pixels> pictures;
    gltest::RunInGlWindow([&] {
        pictures = DrawAll<ge::ZGraphicEngineOpenGL, ge::ZTextureStoreOpenGL>(
            textures, lists, gltest::Pixels::Read);
    });
    return pictures;
}

std::vector<gltest::Pixels> DrawWithGLES2(const std::vector<SlotImage>& textures,
                                          const std::vector<DrawList>& lists,
                                          ge::ZGraphicEngineGLES2::BorderTexel border) {
    std::vector<gltest::Pixels> pictures;
    estest::RunInEsContext([&] {
        pictures = DrawAll<ge::ZGraphicEngineGLES2, ge::ZTextureStoreGLES2>(
            textures, lists, estest::ReadEsPixels,
            [border](ge::ZGraphicEngineGLES2& engine) { engine.ChooseBorderTexel(border); });
    });
    return pictures;
}

BorderDifference CompareButBorders(const gltest::Pixels& expected, const gltest::Pixels& actual,
                                   const gltest::Pixels& otherChoice) {
    BorderDifference difference;
    for (int y = 0; y < gltest::windowHeight; ++y) {
        for (int x = 0; x < gltest::windowWidth; ++x) {
            const uint32_t e = expected.At(x, y);
            const uint32_t a = actual.At(x, y);
            if (e == a) {
                continue;
            }
            if (a != otherChoice.At(x, y)) {
                ++difference.atBorders;
            } else if (difference.elsewhere++ == 0) {
                difference.firstX = x;
                difference.firstY = y;
            }
        }
    }
    return difference;
}

Difference Compare(const gltest::Pixels& expected, const gltest::Pixels& actual) {
    Difference difference;
    for (int y = 0; y < gltest::windowHeight; ++y) {
        for (int x = 0; x < gltest::windowWidth; ++x) {
            const uint32_t e = expected.At(x, y);
            const uint32_t a = actual.At(x, y);
            if (e == a) {
                continue;
            }
            if (difference.pixels++ == 0) {
                difference.firstX = x;
                difference.firstY = y;
                difference.expected = e;
                difference.actual = a;
            }
            for (int shift = 0; shift < 24; shift += 8) {
                const int channel = std::abs(static_cast<int>((e >> shift) & 0xFFu) -
                                             static_cast<int>((a >> shift) & 0xFFu));
                difference.largest = std::max(difference.largest, channel);
            }
        }
    }
    return difference;
}

std::string Describe(const Difference& difference) {
    std::ostringstream text;
    text << difference.pixels << " pixels differ, by up to " << difference.largest;
    if (difference.pixels > 0) {
        text << "; first at (" << difference.firstX << ", " << difference.firstY << "): "
             << std::hex << difference.expected << " drawn as " << difference.actual;
    }
    return text.str();
}

}  // namespace sidebyside
