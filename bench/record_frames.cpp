// Records what the renderer is asked to do for the frames the benchmark
// measures, for the replay floor (replay.cpp): the texture loads of start-up
// and every renderer call of the title screen and of the world view with an
// encounter open, one frame for each of the four phases of the animation.
// The encounter is the one the game itself reaches with the benchmark's seed
// and click (BenchScene.h), played through the rules; the seed is printed.
// The game's own code does the asking: LoadTextures and DrawGame, through the
// real virtual-screen adapter, onto a renderer that writes each call down. No
// window and no OpenGL are needed.
//   record_frames OUT
// The loaders are linked with --wrap (bench/CMakeLists.txt), so the game's
// LoadTextures reaches LoadBmp/LoadPng below instead of OpenGL.
#include <cstdio>
#include <cstdlib>

#include "app/Shell.h"
#include "bench/BenchScene.h"
#include "game/Draw.h"
#include "game/GameState.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "tests/support/RecordingGraphicEngine.h"

namespace {

using testsupport::GraphicCall;
using testsupport::GraphicCallKind;

FILE* out = nullptr;


// The font is loaded by the shell's StartGraphics, which needs a live OpenGL
// context; its file and mode are the ones StartGraphics uses.
const char* const fontFile = "../gfx/font.bmp";
const int fontSlot = 4;

// The creatures' animation: four phases of 32 frames; DrawGame advances the
// frame counter before it draws.
const int phaseCount = 4;
const int animationPhase = 32;

void WriteText(const std::string& text) {
    for (const char c : text) {
        std::fprintf(out, "%02x", static_cast<unsigned char>(c));
    }
    if (text.empty()) {
        std::fputs("-", out);
    }
}

void WriteCall(const GraphicCall& call) {
    switch (call.kind) {
    case GraphicCallKind::BeginFrame:
    case GraphicCallKind::EndFrame:
        break;
    case GraphicCallKind::Clear:
        std::fprintf(out, "clear %.9g %.9g %.9g\n", call.red, call.green, call.blue);
        break;
    case GraphicCallKind::BindTexture:
        std::fprintf(out, "bind %d\n", call.slot);
        break;
    case GraphicCallKind::SetRenderTarget:
        std::fprintf(out, "target %d\n", call.slot);
        break;
    case GraphicCallKind::DrawQuad:
        std::fputs("quad", out);
        for (const ge::QuadVertex& v : call.quad.vertices) {
            std::fprintf(out, " %.9g %.9g %08x %.9g %.9g", v.x, v.y, static_cast<unsigned>(v.colour),
                         v.u, v.v);
        }
        std::fputc('\n', out);
        break;
    case GraphicCallKind::DrawText:
        std::fprintf(out, "text %.9g %.9g %.9g %.9g %.9g %.9g ", call.x, call.y, call.red,
                     call.green, call.blue, call.alpha);
        WriteText(call.text);
        std::fputc('\n', out);
        break;
    }
}

void RecordFrame(const char* name, int phase, GameState& state) {
    testsupport::RecordingGraphicEngine renderer;
    ge::ZGraphicEngineAdapter adapter(&renderer, 0, 0, gameWidth,
                                      gameHeight);
    FixedPointer pointer(320, 240);  // the window's centre, where the click left it
    state.animFrame = phase * animationPhase;
    adapter.BeginFrame();
    adapter.Clear(0.0f, 0.0f, 0.0f);
    DrawGame(state, adapter, pointer);
    adapter.EndFrame();
    std::fprintf(out, "frame %s %d\n", name, phase);
    for (const GraphicCall& call : renderer.calls) {
        WriteCall(call);
    }
    std::fputs("end\n", out);
}

}  // namespace

extern "C" void __wrap__Z14LoadBmpTexturePKciS0_(const char* mode, int slot, const char* path) {
    std::fprintf(out, "texture %d bmp %s %s\n", slot, mode, path);
}

extern "C" int __wrap__Z14LoadPngTexturePKci(const char* path, int slot) {
    std::fprintf(out, "texture %d png - %s\n", slot, path);
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: record_frames OUT\n", stderr);
        return 2;
    }
    out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    __wrap__Z14LoadBmpTexturePKciS0_("Auto", fontSlot, fontFile);
    LoadTextures();
    GameState title;
    if (!DiceLast(benchSeed)) {
        std::fprintf(stderr, "record_frames: seed %u does not lead to a lasting camp\n", benchSeed);
        return 1;
    }
    GameState encounter = FirstEncounter(benchSeed);
    for (int phase = 0; phase < phaseCount; ++phase) {
        RecordFrame("title", phase, title);
        RecordFrame("encounter", phase, encounter);
    }
    std::printf("seed %u\n", benchSeed);
    return std::fclose(out) == 0 ? 0 : 1;
}
