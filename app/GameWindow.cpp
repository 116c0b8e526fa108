#include "app/GameWindow.h"

#include <FL/Fl.H>

#include <cstdio>
#include <cstdlib>

#include "app/GameRecord.h"
#include "app/ArtFiles.h"
#include "app/DesktopGlobals.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ge/gl/TextureLoader.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"
#include "ie/InputEngineFLTK13.h"
#include "ie/ZInputEngineAdapter.h"
#include "se/ZSoundEngineOpenAL.h"

int CentredOrigin(int screenSize, int windowSize) {
    return (screenSize - windowSize) / 2;
}

Fl_GameWindow::Fl_GameWindow(int x, int y, int w, int h, const char* label)
    : Fl_Gl_Window(x, y, w, h, label), startupStage(0) {}

void Fl_GameWindow::draw() {
    switch (startupStage) {
    case 0:
        CreateInput(this);
        InitGraphics();
        startupStage = 1;
        break;
    case 1:
        CreateSound(this);
        CreateGame();
        valid(1);
        startupStage = 2;
        break;
    default:
        if (!valid()) {
            InitGraphics();
            valid(1);
        }
        DrawGameFrame();
        break;
    }
}

void Fl_GameWindow::DrawGameFrame() {
    graphicAdapter->BeginFrame();
    graphicAdapter->Clear(0.0f, 0.0f, 0.0f);
    if (game != nullptr) {
        DrawGame();
    }
    graphicAdapter->EndFrame();
}

int Fl_GameWindow::handle(int event) {
    if (inputEngine != nullptr) {
        inputEngine->HandleEvent(event);
    }
    return Fl_Gl_Window::handle(event);
}

void Fl_GameWindow::InitGraphics() {
    delete graphicEngine;
    graphicEngine = nullptr;
    delete graphicAdapter;
    graphicAdapter = nullptr;

    resize(CentredOrigin(displayWidth, windowWidth), CentredOrigin(displayHeight, windowHeight),
           windowWidth, windowHeight);
    graphicEngine = new ge::ZGraphicEngineOpenGL(w(), h());
    graphicAdapter = new ge::ZGraphicEngineAdapter(graphicEngine, 0, 0, windowWidth, windowHeight);
    inputAdapter->SetMouseArea(0, 0, windowWidth, windowHeight, false);

    LoadBmpTexture(fontArt.bmpMode, fontArt.slot, fontArt.path);
    graphicAdapter->BeginFrame();
    graphicAdapter->Clear(0.0f, 0.0f, 0.0f);
    graphicAdapter->DrawText(40.0f, 220.0f, "Loading...", 0.5f, 0.5f, 0.5f, 0.94f);
    graphicAdapter->EndFrame();

    LoadTextures();
}

void CreateInput(Fl_GameWindow*) {
    inputEngine = new ie::InputEngineFLTK13();
    inputAdapter = new ie::ZInputEngineAdapter(inputEngine);
}

void CreateSound(Fl_GameWindow*) {
    soundEngine = new se::ZSoundEngineOpenAL();
}

void LoadTextures() {
    for (int i = 0; i < otherArtCount; ++i) {
        const ArtFile& file = otherArt[i];
        if (file.bmpMode != nullptr) {
            LoadBmpTexture(file.bmpMode, file.slot, file.path);
        } else {
            LoadPngTexture(file.path, file.slot);
        }
    }
}

void Shutdown(Fl_Widget*, void*) {
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
    std::exit(0);
}
