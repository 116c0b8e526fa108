#include "app/GameSounds.h"

#include "app/SoundFiles.h"
#include "game/SoundDirector.h"
#include "se/ZSoundEngineCore.h"

namespace {

SoundDirector director;
se::XSoundEngine* loadedEngine = nullptr;

}  // namespace

void LoadGameSounds(se::ZSoundEngineCore& engine) {
    for (int i = 0; i < effectFileCount; ++i) {
        engine.LoadSoundFile(i, effectFiles[i].path);
    }
    for (int i = 0; i < musicFileCount; ++i) {
        engine.SetMusicName(i, musicFiles[i].path, musicFiles[i].loop);
    }
    PlayGameSoundsOn(engine);
}

void PlayGameSoundsOn(se::XSoundEngine& engine) {
    loadedEngine = &engine;
    director.StartAfresh();
}

void ForgetGameSounds() {
    loadedEngine = nullptr;
}

bool GameSoundsLoaded() {
    return loadedEngine != nullptr;
}

void SetMuted(bool muted) {
    director.SetMuted(muted);
}

bool Muted() {
    return director.Muted();
}

void PlayGameSounds(const GameState& state, const TickEvents& events) {
    if (loadedEngine != nullptr) {
        director.Direct(state, events, *loadedEngine);
    }
}
