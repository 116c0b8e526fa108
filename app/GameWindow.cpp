#include "app/GameWindow.h"

#include <FL/Fl.H>

#include "app/DesktopGlobals.h"
#include "app/GameSounds.h"
#include "app/MuteFile.h"
#include "app/TickClock.h"
#include "ge/gl/TextureLoader.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"
#include "ie/InputEngineFLTK13.h"
#include "se/ZSoundEngineOpenAL.h"

namespace {

// The desktop's engines: the OpenGL 1.1 renderer, the toolkit's input and
// OpenAL's sound, with the game's sounds loaded as soon as it exists. The
// choice of mute is kept in the user's state folder (app/MuteFile.h).
class ZDesktopEngines final : public XShellEngines {
public:
    Fl_GameWindow* window = nullptr;  // centred before each renderer is made

    ie::XInputEngine* CreateInput() override {
        inputEngine = new ie::InputEngineFLTK13();
        return inputEngine;
    }

    ShellRenderer CreateGraphics() override {
        window->Centre();
        graphicEngine = new ge::ZGraphicEngineOpenGL(window->w(), window->h());
        textures = ge::ZTextureStoreOpenGL(*graphicEngine);
        return {graphicEngine, &textures};
    }

    void CreateSound() override {
        soundEngine = new se::ZSoundEngineOpenAL();
        LoadGameSounds(*soundEngine);
    }

    void UpdateSound() override { soundEngine->Update(); }

    void KeepMuted(bool muted) override { WriteMuteFile(muted); }

    void DestroyGraphics() override { DestroyEngine(graphicEngine); }
    void DestroyInput() override { DestroyEngine(inputEngine); }
    void DestroySound() override { DestroyEngine(soundEngine); }

private:
    ge::ZTextureStoreOpenGL textures;
};

ZDesktopEngines desktopEngines;

}  // namespace

int CentredOrigin(int screenSize, int windowSize) {
    return (screenSize - windowSize) / 2;
}

Fl_GameWindow::Fl_GameWindow(int x, int y, int w, int h, const char* label)
    : Fl_Gl_Window(x, y, w, h, label) {
    desktopEngines.window = this;
}

void Fl_GameWindow::draw() {
    if (!startup.Done()) {
        startup.Step(desktopEngines);
        if (startup.Done()) {
            valid(1);
        }
        return;
    }
    if (!valid()) {
        StartGraphics(desktopEngines);
        valid(1);
    }
    DrawGameFrame();
}

int Fl_GameWindow::handle(int event) {
    if (inputEngine != nullptr) {
        inputEngine->HandleEvent(event);
    }
    return Fl_Gl_Window::handle(event);
}

void Fl_GameWindow::Tick() {
    if (!startup.Done()) {
        return;
    }
    MarkTick();
    if (!TickGame(desktopEngines)) {
        Shutdown(nullptr, nullptr);
    }
}

void Fl_GameWindow::Centre() {
    resize(CentredOrigin(displayWidth, gameWidth), CentredOrigin(displayHeight, gameHeight),
           gameWidth, gameHeight);
}

void Shutdown(Fl_Widget*, void*) {
    EndProgram(desktopEngines);
}
