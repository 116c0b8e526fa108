#include "app/web/WebShell.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

#include "app/ArtFiles.h"
#include "app/GameRecord.h"
#include "app/Log.h"
#include "app/Platform.h"
#include "app/web/FrameClock.h"
#include "app/web/WebGlobals.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ge/TextureLoader.h"
#include "ge/gles2/ZGraphicEngineGLES2.h"
#include "ie/ZInputEngineAdapter.h"
#include "ie/html5/InputEngineHTML5.h"
#include "se/web/ZSoundEngineWeb.h"

namespace web {

namespace {

int startupStage = 0;
bool shutdownRequested = false;
FrameClock frameClock;

void LoadArt(const ArtFile& file) {
    if (file.bmpMode != nullptr) {
        LoadBmpTexture(file.bmpMode, file.slot, file.path);
    } else {
        LoadPngTexture(file.path, file.slot);
    }
}

void CreateInput() {
    inputEngine = new ie::InputEngineHTML5(canvasSelector, canvasWidth, canvasHeight);
    inputAdapter = new ie::ZInputEngineAdapter(inputEngine);
}

void InitGraphics() {
    graphicEngine = new ge::ZGraphicEngineGLES2(canvasWidth, canvasHeight);
    graphicAdapter = new ge::ZGraphicEngineAdapter(graphicEngine, 0, 0, canvasWidth, canvasHeight);
    inputAdapter->SetMouseArea(0, 0, canvasWidth, canvasHeight, false);

    LoadArt(fontArt);
    graphicAdapter->BeginFrame();
    graphicAdapter->Clear(0.0f, 0.0f, 0.0f);
    graphicAdapter->DrawText(40.0f, 220.0f, "Loading...", 0.5f, 0.5f, 0.5f, 0.94f);
    graphicAdapter->EndFrame();

    for (int i = 0; i < otherArtCount; ++i) {
        LoadArt(otherArt[i]);
    }
}

void CreateSound() {
    soundEngine = new se::ZSoundEngineWeb();
}

void DrawGameFrame() {
    graphicAdapter->BeginFrame();
    graphicAdapter->Clear(0.0f, 0.0f, 0.0f);
    if (game != nullptr) {
        DrawGame();
    }
    graphicAdapter->EndFrame();
}

// The running game's part of a frame: the ticks that fell due, then a frame
// drawn if any ran, as the desktop draws on the redraw each tick asks for.
void RunTicks() {
    const int ticks = frameClock.TicksDue(sys::Microseconds());
    for (int i = 0; i < ticks; ++i) {
        inputAdapter->Update();
        if (!UpdateGame()) {
            Shutdown();
        }
        soundEngine->Update();
    }
    if (ticks > 0) {
        DrawGameFrame();
    }
}

void Frame() {
    if (shutdownRequested) {
        Shutdown();
    }
    switch (startupStage) {
    case 0:
        CreateInput();
        InitGraphics();
        startupStage = 1;
        break;
    case 1:
        CreateSound();
        CreateGame();
        startupStage = 2;
        break;
    default:
        RunTicks();
        break;
    }
}

// Escape ends the game, as closing the desktop's window does. In fullscreen
// the browser takes Escape to leave fullscreen, and the game goes on.
EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
    if (std::string(event->code) != "Escape") {
        return EM_FALSE;
    }
    EmscriptenFullscreenChangeEvent fullscreen{};
    if (emscripten_get_fullscreen_status(&fullscreen) == EMSCRIPTEN_RESULT_SUCCESS &&
        fullscreen.isFullscreen) {
        return EM_FALSE;
    }
    shutdownRequested = true;
    return EM_TRUE;
}

void CreateContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    // Kept between frames: frames without a tick draw nothing, and the page
    // (or a test) may read the canvas at any moment.
    attributes.preserveDrawingBuffer = EM_TRUE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(canvasSelector, &attributes);
    if (context <= 0) {
        LogError("Cannot create WebGL context", "GE");
    }
    emscripten_webgl_make_context_current(context);
}

}  // namespace

void Start() {
    emscripten_set_canvas_element_size(canvasSelector, canvasWidth, canvasHeight);
    CreateContext();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKeyDown);
    emscripten_set_main_loop(Frame, 0, 0);
}

void Shutdown() {
    emscripten_cancel_main_loop();
    if (graphicEngine != nullptr) {
        delete graphicEngine;
    }
    if (inputEngine != nullptr) {
        delete inputEngine;
    }
    if (soundEngine != nullptr) {
        delete soundEngine;
    }
    std::fputs("goodbye\n", stdout);
    std::fflush(stdout);
    sys::ExitProcess(0);
}

}  // namespace web

// For the page's tests: plays an MP3 file of the game's file system as music
// track 0 at full volume. The game itself plays no music.
extern "C" EMSCRIPTEN_KEEPALIVE void dunmark_play_music(const char* path) {
    if (soundEngine != nullptr) {
        soundEngine->SetMusicName(0, path);
        soundEngine->PlayMusic(0, 1.0f, 0);
    }
}
