#pragma once

// The game's sounds as both shells play them. They are loaded once the
// sound engine exists (the desktop) or once the page's sound files have
// arrived (the browser); from then on each tick plays its effects and the
// music of its screen through the sound director (game/SoundDirector.h).
// Before that, ticks play nothing.
struct GameState;
class TickEvents;
namespace se {
class XSoundEngine;
class ZSoundEngineCore;
}  // namespace se

// Fills the engine's effects and music from the build's table of files
// (app/SoundFiles.h), a missing or damaged file left out with the engine's
// log line, and plays the game's sounds on it (PlayGameSoundsOn).
void LoadGameSounds(se::ZSoundEngineCore& engine);

// From the next tick on, the game's sounds play on the engine, which holds
// them already; that tick starts the music of the screen showing.
void PlayGameSoundsOn(se::XSoundEngine& engine);

// Before the engine is destroyed: ticks play nothing again.
void ForgetGameSounds();

bool GameSoundsLoaded();

// Muted, no effect starts and the music is silent; unmuted, the screen's
// music is heard again. Takes effect on the next tick.
void SetMuted(bool muted);
bool Muted();

// After the rules of a tick: its effects and the screen's music, once the
// sounds are loaded.
void PlayGameSounds(const GameState& state, const TickEvents& events);
