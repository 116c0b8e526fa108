// The browser screen walk's twin: runs the game natively, tick for tick with
// the page under test, on the same seed and the same pointer events, and
// says for each frame which window pixels were blended with partial alpha.
// Only there may the browser's picture differ from the desktop's, by the
// blend unit's rounding. No pixels are drawn: every call the game makes is
// followed on a 640x480 map of "last written by a partial-alpha blend",
// with the renderer's own rules for text layout, texel choice and the
// render-texture capture.
//
//   web_mask_frames GFX_DIR SEED
//
// Commands on standard input, one a line:
//   move X Y     the pointer, in 640x480 game coordinates
//   down B, up B a mouse button (0 left, 1 right)
//   tick N       N ticks, each followed by its frame, as the page runs them
//   mask FILE    writes the last frame's map, one byte a pixel (the number of
//                partial-alpha blends on the pixel since it was last written
//                exactly), rows top first, and answers "mask PIXELS SKEWED":
//                the pixels marked and the quads that were not axis-aligned
//                rectangles (marked whole; the game draws none)
// The frames are recorded and only the asked one is followed on the map.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/ArtFiles.h"
#include "app/GameRecord.h"
#include "app/Globals.h"
#include "game/Random.h"
#include "ge/TextureLoader.h"
#include "ge/XGraphicEngine.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ie/InputLatch.h"
#include "ie/XInputEngine.h"
#include "ie/ZInputEngineAdapter.h"
#include "tests/support/RecordingGraphicEngine.h"

namespace {

const int width = 640;
const int height = 480;

// The texture store of this program: the decoded images, by slot.
class ImageStore final : public ge::XTextureStore {
public:
    void UploadTexture(int slot, const ge::TextureImage& image) override {
        images.at(static_cast<size_t>(slot)) = image;
    }
    std::vector<ge::TextureImage> images = std::vector<ge::TextureImage>(ge::textureSlotCount);
};

ImageStore imageStore;

// Pointer and buttons set by the commands, latched per tick as in the page.
class ScriptedInput final : public ie::XInputEngine {
public:
    void Update() override { latch.Latch(); }
    bool KeyChanged(uint32_t k, bool was, bool is) override { return latch.KeyChanged(k, was, is); }
    bool KeyWasDown(uint32_t k) override { return latch.KeyWasDown(k); }
    bool KeyIsDown(uint32_t k) override { return latch.KeyIsDown(k); }
    int MouseX() override { return latch.MouseX(); }
    int MouseY() override { return latch.MouseY(); }
    bool ButtonChanged(uint32_t b, bool was, bool is) override {
        return latch.ButtonChanged(b, was, is);
    }
    bool ButtonWasDown(uint32_t b) override { return latch.ButtonWasDown(b); }
    bool ButtonIsDown(uint32_t b) override { return latch.ButtonIsDown(b); }

    ie::InputLatch latch;
};

// The browser renderer's text layout (ge/gles2): 12x12 glyphs from a 16x16
// grid of the font, 7 pixels apart, lines 14 apart, each line centred on x.
const int fontSlot = 4;
const float glyphSize = 12.0f;
const float glyphAdvance = 7.0f;
const float lineAdvance = 14.0f;
const float gridCell = 1.0f / 16.0f;
const int renderSlot = 0;
const int renderTextureWidth = 512;
const int renderTextureHeight = 256;

float LineStart(float x, int n) {
    return x - static_cast<float>(7 * (n / 2)) - static_cast<float>(3 * (n % 2)) - 2.0f;
}

// Follows the draw calls on the map of partial-alpha pixels.
class MaskEngine final : public ge::XGraphicEngine {
public:
    void BeginFrame() override {}
    void EndFrame() override {}
    void Clear(float, float, float) override { std::fill(partial.begin(), partial.end(), 0); }
    void BindTexture(int slot) override { bound = slot; }
    void DrawQuad(const ge::Quad* quad) override { Draw(*quad, bound); }
    void SetRenderTarget(int slot) override {
        if (target == renderSlot) {
            Capture();
        }
        target = slot;
    }
    void DrawText(float x, float y, const char* text, float, float, float, float alpha) override;

    std::vector<uint8_t> partial = std::vector<uint8_t>(width * height, 0);
    int skewed = 0;  // quads that are not axis-aligned rectangles

private:
    void Capture();
    void Draw(const ge::Quad& quad, int slot);
    // What a fragment does to its pixel: leaves it, writes it exactly,
    // blends it with partial alpha, or (from the render texture) copies a
    // captured pixel's count (0 and up).
    static const int untouched = -1;
    static const int exact = -2;
    static const int blended = -3;
    int Effect(int slot, float u, float v, int vertexAlphaMin, int vertexAlphaMax) const;

    int bound = -1;
    int target = -1;
    std::vector<uint8_t> captured = std::vector<uint8_t>(renderTextureWidth * renderTextureHeight, 0);
};

// glCopyTexImage2D of the surface's bottom 256 rows: texel row r holds the
// surface row 255 - r counted from the top.
void MaskEngine::Capture() {
    for (int r = 0; r < renderTextureHeight; ++r) {
        const int row = renderTextureHeight - 1 - r;
        for (int x = 0; x < renderTextureWidth; ++x) {
            captured[static_cast<size_t>(r * renderTextureWidth + x)] =
                partial[static_cast<size_t>(row * width + x)];
        }
    }
}

int TexelIndex(float coordinate, int imageSide, int texSide) {
    // The shader's rule: floor of the coordinate in texels, wrapped.
    const float scaled = coordinate * static_cast<float>(imageSide) / static_cast<float>(texSide);
    const int index = static_cast<int>(std::floor(scaled * static_cast<float>(texSide)));
    return ((index % texSide) + texSide) % texSide;
}

int MaskEngine::Effect(int slot, float u, float v, int vertexAlphaMin, int vertexAlphaMax) const {
    if (slot == renderSlot) {
        // The capture is opaque: the pixel takes the captured pixel's state.
        const int x = TexelIndex(u, renderTextureWidth, renderTextureWidth);
        const int y = TexelIndex(v, renderTextureHeight, renderTextureHeight);
        return captured[static_cast<size_t>(y * renderTextureWidth + x)];
    }
    const ge::TextureImage& image = imageStore.images.at(static_cast<size_t>(slot));
    if (image.texels.empty()) {
        return untouched;  // the renderer draws nothing without a texture
    }
    const int x = TexelIndex(u, image.imageWidth, image.texWidth);
    const int y = TexelIndex(v, image.imageHeight, image.texHeight);
    const int texelAlpha = image.texels[static_cast<size_t>((y * image.texWidth + x) * 4 + 3)];
    if (texelAlpha == 0 || vertexAlphaMax == 0) {
        return untouched;
    }
    return texelAlpha == 255 && vertexAlphaMin == 255 ? exact : blended;
}

void MaskEngine::Draw(const ge::Quad& quad, int slot) {
    if (slot < 0 || slot >= ge::textureSlotCount) {
        return;
    }
    const ge::QuadVertex* v = quad.vertices;
    int alphaMin = 255;
    int alphaMax = 0;
    for (int i = 0; i < 4; ++i) {
        const int alpha = static_cast<int>(v[i].colour >> 24);
        alphaMin = std::min(alphaMin, alpha);
        alphaMax = std::max(alphaMax, alpha);
    }
    const bool rectangle = v[0].y == v[1].y && v[2].y == v[3].y && v[0].x == v[2].x &&
                           v[1].x == v[3].x && v[0].u == v[2].u && v[1].u == v[3].u &&
                           v[0].v == v[1].v && v[2].v == v[3].v;
    const float left = std::min(v[0].x, v[1].x);
    const float right = std::max(v[0].x, v[1].x);
    const float top = std::min(v[0].y, v[2].y);
    const float bottom = std::max(v[0].y, v[2].y);
    if (!rectangle) {
        // Not met in the game; marked whole where it could blend.
        ++skewed;
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(left - 0.5f)));
    const int x1 = std::min(width - 1, static_cast<int>(std::ceil(right)));
    const int y0 = std::max(0, static_cast<int>(std::floor(top - 0.5f)));
    const int y1 = std::min(height - 1, static_cast<int>(std::ceil(bottom)));
    for (int py = y0; py <= y1; ++py) {
        const float cy = static_cast<float>(py) + 0.5f;
        if (cy < top || cy >= bottom) {
            continue;
        }
        for (int px = x0; px <= x1; ++px) {
            const float cx = static_cast<float>(px) + 0.5f;
            if (cx < left || cx >= right) {
                continue;
            }
            uint8_t& cell = partial[static_cast<size_t>(py * width + px)];
            if (!rectangle) {
                cell = alphaMax > 0 ? static_cast<uint8_t>(std::min(255, cell + 1)) : cell;
                continue;
            }
            const float fx = (cx - v[0].x) / (v[1].x - v[0].x);
            const float fy = (cy - v[0].y) / (v[2].y - v[0].y);
            const float u = v[0].u + fx * (v[1].u - v[0].u);
            const float tv = v[0].v + fy * (v[2].v - v[0].v);
            const int effect = Effect(slot, u, tv, alphaMin, alphaMax);
            if (effect == exact) {
                cell = 0;
            } else if (effect == blended) {
                cell = static_cast<uint8_t>(std::min(255, cell + 1));
            } else if (effect >= 0) {
                cell = static_cast<uint8_t>(effect);  // a captured pixel's count
            }
        }
    }
}

void MaskEngine::DrawText(float x, float y, const char* text, float, float, float,
                          float alpha) {
    const uint32_t colour = TintColour(1.0f, 1.0f, 1.0f, alpha);  // the renderer's rule
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    float lineTop = y;
    int lineStart = 0;
    for (int i = 0;; ++i) {
        if (bytes[i] != '\n' && bytes[i] != 0) {
            continue;
        }
        const int count = i - lineStart;
        float penX = LineStart(x, count);
        for (int k = 0; k < count; ++k) {
            const unsigned char c = bytes[lineStart + k];
            const float uLeft = static_cast<float>(c % 16) * gridCell;
            const float vTop = static_cast<float>(c / 16) * gridCell;
            ge::Quad glyph = MakeQuad(penX, lineTop, glyphSize, glyphSize);
            ge::QuadVertex* g = glyph.vertices;
            g[0].u = uLeft;            g[0].v = vTop;
            g[1].u = uLeft + gridCell; g[1].v = vTop;
            g[2].u = uLeft;            g[2].v = vTop + gridCell;
            g[3].u = uLeft + gridCell; g[3].v = vTop + gridCell;
            for (ge::QuadVertex& corner : glyph.vertices) {
                corner.colour = colour;
            }
            Draw(glyph, fontSlot);
            penX += glyphAdvance;
        }
        lineTop += lineAdvance;
        if (bytes[i] == 0) {
            break;
        }
        lineStart = i + 1;
    }
}

std::string FileIn(const std::string& dir, const char* path) {
    const char* name = std::strrchr(path, '/');
    return dir + "/" + (name != nullptr ? name + 1 : path);
}

void LoadArt(const std::string& dir, const ArtFile& file) {
    const std::string path = FileIn(dir, file.path);
    if (file.bmpMode != nullptr) {
        LoadBmpTexture(file.bmpMode, file.slot, path.c_str());
    } else {
        LoadPngTexture(path.c_str(), file.slot);
    }
}

}  // namespace

// Follows one recorded frame's calls on the map.
void Replay(const std::vector<testsupport::GraphicCall>& calls, MaskEngine& engine) {
    using testsupport::GraphicCallKind;
    for (const testsupport::GraphicCall& call : calls) {
        switch (call.kind) {
        case GraphicCallKind::BeginFrame: engine.BeginFrame(); break;
        case GraphicCallKind::Clear: engine.Clear(call.red, call.green, call.blue); break;
        case GraphicCallKind::EndFrame: engine.EndFrame(); break;
        case GraphicCallKind::BindTexture: engine.BindTexture(call.slot); break;
        case GraphicCallKind::DrawQuad: engine.DrawQuad(&call.quad); break;
        case GraphicCallKind::SetRenderTarget: engine.SetRenderTarget(call.slot); break;
        case GraphicCallKind::DrawText:
            engine.DrawText(call.x, call.y, call.text.c_str(), call.red, call.green, call.blue,
                            call.alpha);
            break;
        }
    }
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: web_mask_frames GFX_DIR SEED\n", stderr);
        return 1;
    }
    const std::string gfx = argv[1];
    ge::SetProcessTextureStore(&imageStore);
    LoadArt(gfx, fontArt);
    for (int i = 0; i < otherArtCount; ++i) {
        LoadArt(gfx, otherArt[i]);
    }
    ScriptedInput input;
    testsupport::RecordingGraphicEngine recorder;
    inputAdapter = new ie::ZInputEngineAdapter(&input);
    inputAdapter->SetMouseArea(0, 0, width, height, false);
    graphicAdapter = new ge::ZGraphicEngineAdapter(&recorder, 0, 0, width, height);
    FixRandomSeed(static_cast<unsigned>(std::stoul(argv[2])));
    CreateGame();

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "move") {
            int x = 0;
            int y = 0;
            words >> x >> y;
            input.latch.SetPendingPointer(x, y);
        } else if (command == "down" || command == "up") {
            int button = 0;
            words >> button;
            input.latch.SetPendingButton(button, command == "down");
        } else if (command == "tick") {
            int count = 1;
            words >> count;
            for (int i = 0; i < count; ++i) {
                recorder.Reset();
                inputAdapter->Update();
                UpdateGame();
                graphicAdapter->BeginFrame();
                graphicAdapter->Clear(0.0f, 0.0f, 0.0f);
                DrawGame();
                graphicAdapter->EndFrame();
            }
        } else if (command == "mask") {
            MaskEngine engine;
            Replay(recorder.calls, engine);
            std::string path;
            words >> path;
            FILE* out = std::fopen(path.c_str(), "wb");
            if (out == nullptr ||
                std::fwrite(engine.partial.data(), 1, engine.partial.size(), out) !=
                    engine.partial.size() ||
                std::fclose(out) != 0) {
                std::fprintf(stderr, "web_mask_frames: cannot write %s\n", path.c_str());
                return 1;
            }
            const long count = static_cast<long>(engine.partial.size()) -
                               std::count(engine.partial.begin(), engine.partial.end(), 0);
            std::printf("mask %ld %d\n", count, engine.skewed);
        } else if (!command.empty()) {
            std::fprintf(stderr, "web_mask_frames: unknown command: %s\n", line.c_str());
            return 1;
        }
        std::fflush(stdout);
    }
    return 0;
}
