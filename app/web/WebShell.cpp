#include "app/web/WebShell.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <string>

#include "app/GameRecord.h"
#include "app/Log.h"
#include "app/Platform.h"
#include "app/Shell.h"
#include "app/web/FrameClock.h"
#include "app/web/WebSave.h"
#include "app/web/WebGlobals.h"
#include "game/Rules.h"
#include "game/TextTable.h"
#include "ge/gles2/TextureStore.h"
#include "ge/gles2/ZGraphicEngineGLES2.h"
#include "ie/html5/InputEngineHTML5.h"
#include "se/web/ZSoundEngineWeb.h"

// The page's drawing-context attributes (Module.contextAttributes, set by
// web/page.js.in), one bit each in the order of ContextAttribute.
EM_JS(int, dm_page_context_attributes, (), {
    const names = ["alpha", "depth", "stencil", "antialias", "premultipliedAlpha", "preserveDrawingBuffer"];
    const attributes = Module.contextAttributes || {};
    return names.reduce((bits, name, at) => bits | (attributes[name] ? 1 << at : 0), 0);
});

namespace web {

namespace {

// The browser's engines: WebGL, the page's events and Web Audio.
class ZWebEngines final : public XShellEngines {
public:
    ie::XInputEngine* CreateInput() override {
        inputEngine = new ie::InputEngineHTML5(canvasSelector, gameWidth, gameHeight);
        return inputEngine;
    }

    ShellRenderer CreateGraphics() override {
        graphicEngine = new ge::ZGraphicEngineGLES2(gameWidth, gameHeight);
        textures = ge::ZTextureStoreGLES2(*graphicEngine);
        return {graphicEngine, &textures};
    }

    void CreateSound() override { soundEngine = new se::ZSoundEngineWeb(); }

    void UpdateSound() override { soundEngine->Update(); }

    void DestroyGraphics() override { DestroyEngine(graphicEngine); }
    void DestroyInput() override { DestroyEngine(inputEngine); }
    void DestroySound() override { DestroyEngine(soundEngine); }

private:
    ge::ZTextureStoreGLES2 textures;
};

ZWebEngines webEngines;
ShellStartup startup;
bool shutdownRequested = false;
FrameClock frameClock;

// The running game's part of a frame: the ticks that fell due, then a frame
// drawn if any ran, as the desktop draws on the redraw each tick asks for.
void RunTicks() {
    const int ticks = frameClock.TicksDue(sys::Microseconds());
    for (int i = 0; i < ticks; ++i) {
        if (!TickGame(webEngines)) {
            Shutdown();
        }
    }
    if (ticks > 0) {
        DrawGameFrame();
    }
    KeepRun();
}

// One stage of the start-up; after the last, a saved run takes the title's
// place.
void StartupStep() {
    startup.Step(webEngines);
    if (startup.Done()) {
        RestoreRun();
    }
}

void Frame() {
    if (shutdownRequested) {
        Shutdown();
    }
    if (startup.Done()) {
        RunTicks();
    } else {
        StartupStep();
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

enum ContextAttribute { alpha, depth, stencil, antialias, premultipliedAlpha, preserveDrawingBuffer };

EM_BOOL PageSays(int attributes, ContextAttribute attribute) {
    return (attributes >> attribute) & 1 ? EM_TRUE : EM_FALSE;
}

// The page has made the canvas's context already, with the attributes it
// states; asked with the same ones, the canvas gives that context here.
void CreateContext() {
    const int page = dm_page_context_attributes();
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = PageSays(page, alpha);
    attributes.depth = PageSays(page, depth);
    attributes.stencil = PageSays(page, stencil);
    attributes.antialias = PageSays(page, antialias);
    attributes.premultipliedAlpha = PageSays(page, premultipliedAlpha);
    attributes.preserveDrawingBuffer = PageSays(page, preserveDrawingBuffer);
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
    emscripten_set_canvas_element_size(canvasSelector, gameWidth, gameHeight);
    CreateContext();
    // On the document: the input engine's own key handlers are on the window,
    // and Emscripten drops every handler of a target and event at once.
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, OnKeyDown);
    emscripten_set_main_loop(Frame, 0, 0);
}

void Shutdown() {
    emscripten_cancel_main_loop();
    EndProgram(webEngines);
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

// The page's language switch: the game speaks the language of the given code
// ("en" or "ru") from now on, and a game under way goes on in it.
// Called before the record exists, it chooses the language the record is
// created in. False, and nothing changed, for any other code.
extern "C" EMSCRIPTEN_KEEPALIVE bool dunmark_choose_language(const char* code) {
    Language language = Language::Russian;
    if (code == nullptr || !LanguageOfCode(code, language)) {
        return false;
    }
    chosenLanguage = language;
    if (game != nullptr) {
        ChooseLanguage(*game, language);
    }
    return true;
}

// For the page's tests: the input engine destroyed and made anew while the
// game runs, as a shell that re-creates its engines does.
extern "C" EMSCRIPTEN_KEEPALIVE void dunmark_test_replace_input() {
    StartInput(web::webEngines);
}
