#include "app/web/WebShell.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <string>

#include "app/GameRecord.h"
#include "app/GameSounds.h"
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

// The game's first screen is drawn: the page may fetch what comes after it.
EM_JS(void, dm_tell_first_screen, (), {
    Module.canvas.dispatchEvent(new CustomEvent('dunmarkfirstscreen'));
});

// The page's sound button follows the game's own M key.
EM_JS(void, dm_tell_muted, (bool muted), {
    Module.canvas.dispatchEvent(new CustomEvent('dunmarkmuted', {detail: !!muted}));
});

namespace web {

namespace {

// Whether the page has written the sound files into /sfx: the game plays
// silently until then.
bool soundsArrived = false;

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

    void CreateSound() override {
        soundEngine = new se::ZSoundEngineWeb();
        if (soundsArrived) {
            LoadGameSounds(*soundEngine);
        }
    }

    void UpdateSound() override { soundEngine->Update(); }

    // The page keeps the choice in its storage.
    void KeepMuted(bool muted) override { dm_tell_muted(muted); }

    void DestroyGraphics() override { DestroyEngine(graphicEngine); }
    void DestroyInput() override { DestroyEngine(inputEngine); }
    void DestroySound() override { DestroyEngine(soundEngine); }

private:
    ge::ZTextureStoreGLES2 textures;
};

ZWebEngines webEngines;
ShellStartup startup;
bool firstScreenDrawn = false;
bool shutdownRequested = false;
FrameClock frameClock;

// The drawing context: the browser may lose it (a GPU reset, memory short)
// and give it back. While it is lost nothing is built on it, and the ticks
// and the game's drawing go on against an engine that draws nothing. When
// it comes back, the same context gets a new renderer and the art again from
// the in-memory file system, as the desktop remakes them for a window whose
// context went invalid (app/GameWindow.cpp). Lost for longer than
// contextPatience, it is given up, and the page says so.
enum class ContextState { Drawing, Lost, Restored, GivenUp };

const uint64_t contextPatience = 5000000u;  // microseconds
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
ContextState contextState = ContextState::Drawing;
uint64_t contextLostAt = 0;

// The page shows its message for a context that did not come back.
EM_JS(void, dm_tell_context_given_up, (), {
    Module.canvas.dispatchEvent(new CustomEvent('dunmarkcontextgivenup'));
});

// Preventing the default is what lets the browser give the context back.
EM_BOOL OnContextLost(int, const void*, void*) {
    if (contextState == ContextState::Drawing) {
        contextLostAt = sys::Microseconds();
    }
    if (contextState != ContextState::GivenUp) {
        contextState = ContextState::Lost;
    }
    LogMessage("The WebGL context is lost", "GE");
    return EM_TRUE;
}

EM_BOOL OnContextRestored(int, const void*, void*) {
    if (contextState == ContextState::Lost) {
        contextState = ContextState::Restored;
    }
    return EM_TRUE;
}

// Made again only when the start-up had made it once; otherwise the
// start-up makes it. A context lost again before the rebuilding keeps the
// moment it was first lost.
void RebuildGraphics() {
    if (emscripten_is_webgl_context_lost(context)) {
        contextState = ContextState::Lost;
        return;
    }
    emscripten_webgl_make_context_current(context);
    if (graphicAdapter != nullptr) {
        StartGraphics(webEngines);
    }
    contextState = ContextState::Drawing;
    LogMessage("The WebGL context is made again", "GE");
}

// Whether this frame may draw, the context made again first if it came back.
bool ContextDrawable() {
    if (contextState == ContextState::Restored) {
        RebuildGraphics();
    }
    if (contextState == ContextState::Lost &&
        sys::Microseconds() - contextLostAt > contextPatience) {
        contextState = ContextState::GivenUp;
        LogMessage("The WebGL context did not come back", "GE");
        dm_tell_context_given_up();
    }
    return contextState == ContextState::Drawing;
}

// One stage of the start-up; after the last, a saved run takes the title's
// place.
void StartupStep() {
    startup.Step(webEngines);
    if (startup.Done()) {
        RestoreRun();
    }
}

// Once, after the first frame that shows the game (its title, or a saved
// run's screen): the page then fetches what the game starts without.
void TellFirstScreen(bool shown) {
    if (shown && !firstScreenDrawn) {
        firstScreenDrawn = true;
        dm_tell_first_screen();
    }
}

void Frame() {
    if (shutdownRequested) {
        Shutdown();
    }
    const bool drawable = ContextDrawable();
    if (!startup.Done()) {
        if (drawable) {
            StartupStep();
        }
        return;
    }
    const int ticks = frameClock.TicksDue(sys::Microseconds());
    if (!RunTicks(webEngines, ticks, drawable)) {
        Shutdown();
    }
    KeepRun();
    TellFirstScreen(ticks > 0 && drawable);
}

// A hidden page is silent, and shown again it resumes with one tick, not
// with the ticks of the time it was hidden.
EM_BOOL OnVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    if (soundEngine != nullptr) {
        if (event->hidden) {
            soundEngine->Suspend();
        } else {
            soundEngine->Resume();
        }
    }
    if (!event->hidden) {
        frameClock.StartAfresh();
    }
    return EM_FALSE;
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
    context = emscripten_webgl_create_context(canvasSelector, &attributes);
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
    emscripten_set_webglcontextlost_callback(canvasSelector, nullptr, EM_FALSE, OnContextLost);
    emscripten_set_webglcontextrestored_callback(canvasSelector, nullptr, EM_FALSE,
                                                  OnContextRestored);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibilityChange);
    emscripten_set_main_loop(Frame, 0, 0);
}

void Shutdown() {
    emscripten_cancel_main_loop();
    EndProgram(webEngines);
}

}  // namespace web

// For the page's tests: plays an MP3 file of the game's file system as music
// track 0 at full volume, in place of the game's own track 0 until the game's
// sounds load.
extern "C" EMSCRIPTEN_KEEPALIVE void dunmark_play_music(const char* path) {
    if (soundEngine != nullptr) {
        soundEngine->SetMusicName(0, path);
        soundEngine->PlayMusic(0, 1.0f, 0);
    }
}

// The page has written the game's sound files into /sfx (../sfx/ from the
// game's folder): they load, and the next tick plays the screen's music.
extern "C" EMSCRIPTEN_KEEPALIVE void dunmark_sounds_arrived() {
    web::soundsArrived = true;
    if (soundEngine != nullptr) {
        LoadGameSounds(*soundEngine);
    }
}

// The page's sound button, and the page's kept choice at the start.
extern "C" EMSCRIPTEN_KEEPALIVE void dunmark_set_muted(bool muted) {
    SetMuted(muted);
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
