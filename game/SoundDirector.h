#pragma once

#include "game/Events.h"
#include "game/GameState.h"
#include "game/SoundIds.h"

namespace se {
class XSoundEngine;
}  // namespace se

// The effect each event plays.
Effect EffectOf(GameEvent event);

// The music of the screen showing (and of the encounter there).
Music MusicOf(const GameState& state);

// Turns each tick into sound: the effects of the tick's events, and the
// music of the screen, started only when the screen wants another track.
// Muted, no effect starts and the music goes on silently, so that unmuting
// brings back the screen's music where it is.
class SoundDirector {
public:
    static constexpr float effectVolume = 1.0f;
    static constexpr float musicVolume = 1.0f;
    static constexpr float silent = 0.0f;

    // After the rules of a tick: plays on `sound`.
    void Direct(const GameState& state, const TickEvents& events, se::XSoundEngine& sound);

    // From the next tick on, the music's volume with it.
    void SetMuted(bool muted) { this->muted = muted; }
    bool Muted() const { return muted; }

    // The engine is new or has its sounds anew: the next tick starts the
    // screen's music whatever was asked before.
    void StartAfresh() { asked = nothing; }

private:
    static constexpr int nothing = -1;

    void PlayEffects(const TickEvents& events, se::XSoundEngine& sound) const;
    void FollowScreen(const GameState& state, se::XSoundEngine& sound);
    float MusicVolume() const { return muted ? silent : musicVolume; }

    bool muted = false;
    bool mutedHeard = false;  // whether the music's volume was last set muted
    int asked = nothing;      // the track last started, or nothing
};
