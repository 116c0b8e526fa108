#pragma once

#include <AL/al.h>

#include <array>
#include <cstddef>
#include <set>

#include "se/ZSoundOpenAL.h"

namespace se {

// Sound effects from a table of preloaded buffers, each played on a source
// of its own. Owns the buffers and the playing sounds, and releases them
// when destroyed. Every failure ends the program through LogError.
class SoundEffects {
public:
    static constexpr int soundCount = 64;

    SoundEffects();
    ~SoundEffects();
    SoundEffects(const SoundEffects&) = delete;
    SoundEffects& operator=(const SoundEffects&) = delete;

    // Fills an empty slot only, with a new buffer; numbers outside the table
    // and filled slots are refused (false).
    bool Load(int sound, ALenum format, const void* samples, ALsizei size, ALsizei rate);
    ZSoundOpenAL* Play(int sound, float volume, bool loop);
    void StopAll();
    // The end of an update period: effects may start again, and those that
    // have finished are destroyed.
    void EndPeriod();

    ALuint Buffer(int sound) const;
    size_t ActiveCount() const { return active.size(); }

private:
    void ReapFinished();

    std::array<ALuint, soundCount> buffers;
    std::set<ZSoundOpenAL*> active;
    std::set<int> startedThisPeriod;
};

}  // namespace se
