#pragma once

#include <cstddef>
#include <vector>

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

// Turns each tick into sound: the effects of the tick's events, some of them
// a few ticks later so that one tick's effects sound in sequence, and the
// music of the screen, started only when the screen wants another track,
// after a short fade of the one before.
// Muted, no effect starts and the music goes on silently, so that unmuting
// brings back the screen's music where it is.
class SoundDirector {
public:
    static constexpr float effectVolume = 1.0f;
    // Gain 0.5: with what distance and panning take from the effects, the
    // music sits about 6 dB under them as heard.
    static constexpr float musicVolume = 0.75f;
    static constexpr float silent = 0.0f;
    // The loudest volume that is still silent, where a fade ends.
    static constexpr float silentAbove = 0.5f;
    // A track fades out over this many ticks before the next one starts.
    static constexpr int fadeTicks = 20;

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

    // An effect waiting for its tick.
    struct DueEffect {
        Effect effect;
        int ticks;
    };
    // More than one tick's effects can wait: a tick notes at most a few.
    static constexpr size_t maxDue = 16;

    void PlayEffects(const TickEvents& events, se::XSoundEngine& sound);
    void PlayDue(se::XSoundEngine& sound);
    void FollowScreen(const GameState& state, se::XSoundEngine& sound);
    float MusicVolume() const { return muted ? silent : musicVolume; }

    bool muted = false;
    bool mutedHeard = false;  // whether the music's volume was last set muted
    int asked = nothing;      // the track last started, or nothing
    int fading = 0;           // ticks into the fade of the track asked before
    std::vector<DueEffect> due;
};
