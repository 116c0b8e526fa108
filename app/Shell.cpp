#include "app/Shell.h"

#include <cstdio>

#include "app/ArtFiles.h"
#include "app/GameRecord.h"
#include "app/GameSounds.h"
#include "app/Globals.h"
#include "app/Log.h"
#include "app/Platform.h"
#include "ge/TextureLoader.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ge/ZGraphicEngineNull.h"
#include "game/Events.h"

namespace {

void LoadArt(const ArtFile& file) {
    if (file.bmpMode != nullptr) {
        LoadBmpTexture(file.bmpMode, file.slot, file.path);
    } else {
        LoadPngTexture(file.path, file.slot);
    }
}

ge::ZGraphicEngineNull nullEngine;
ge::ZGraphicEngineAdapter unseenAdapter(&nullEngine, 0, 0, gameWidth, gameHeight);

void DrawFrameOn(ge::XGraphicEngine& graphics) {
    graphics.BeginFrame();
    graphics.Clear(0.0f, 0.0f, 0.0f);
    if (game != nullptr) {
        DrawGameOn(graphics);
    }
    graphics.EndFrame();
}

void FollowMuteKey(XShellEngines& engines) {
    if (inputAdapter->KeyChanged(muteKey, false, true)) {
        SetMuted(!Muted());
        engines.KeepMuted(Muted());
        LogMessage(Muted() ? "Sound is muted" : "Sound is on", "APP");
    }
}

void DestroyGraphics(XShellEngines& engines) {
    ge::SetProcessTextureStore(nullptr);
    engines.DestroyGraphics();
}

}  // namespace

void ShellStartup::Step(XShellEngines& engines) {
    if (stage == 0) {
        StartInput(engines);
        StartGraphics(engines);
    } else {
        engines.CreateSound();
        CreateGame();
    }
    ++stage;
}

void StartInput(XShellEngines& engines) {
    engines.DestroyInput();
    delete inputAdapter;
    inputAdapter = new ie::ZInputEngineAdapter(engines.CreateInput());
    inputAdapter->SetMouseArea(0, 0, gameWidth, gameHeight, false);
}

void StartGraphics(XShellEngines& engines) {
    DestroyGraphics(engines);
    delete graphicAdapter;
    graphicAdapter = nullptr;

    const ShellRenderer renderer = engines.CreateGraphics();
    ge::SetProcessTextureStore(renderer.textures);
    graphicAdapter = new ge::ZGraphicEngineAdapter(renderer.engine, 0, 0, gameWidth, gameHeight);
    inputAdapter->SetMouseArea(0, 0, gameWidth, gameHeight, false);

    LoadArt(fontArt);
    graphicAdapter->BeginFrame();
    graphicAdapter->Clear(0.0f, 0.0f, 0.0f);
    graphicAdapter->DrawText(40.0f, 220.0f, "Loading...", 0.5f, 0.5f, 0.5f, 0.94f);
    graphicAdapter->EndFrame();

    LoadTextures();
}

void LoadTextures() {
    for (int i = 0; i < otherArtCount; ++i) {
        LoadArt(otherArt[i]);
    }
}

bool TickGame(XShellEngines& engines) {
    inputAdapter->Update();
    TickEvents events;
    if (!UpdateGame(events)) {
        return false;
    }
    FollowMuteKey(engines);
    if (game != nullptr) {
        PlayGameSounds(*game, events);
    }
    engines.UpdateSound();
    return true;
}

void DrawGameFrame() {
    DrawFrameOn(*graphicAdapter);
}

bool RunTicks(XShellEngines& engines, int ticks, bool shown) {
    for (int i = 1; i <= ticks; ++i) {
        if (!TickGame(engines)) {
            return false;
        }
        DrawFrameOn(i == ticks && shown ? static_cast<ge::XGraphicEngine&>(*graphicAdapter)
                                        : unseenAdapter);
    }
    return true;
}

void EndProgram(XShellEngines& engines) {
    DestroyGraphics(engines);
    engines.DestroyInput();
    ForgetGameSounds();
    engines.DestroySound();
    std::fputs("goodbye\n", stdout);
    std::fflush(stdout);
    sys::ExitProcess(0);
}
