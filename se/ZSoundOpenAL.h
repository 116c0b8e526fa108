#pragma once

#include <AL/al.h>

#include "se/XSound.h"

namespace se {

// OpenAL gain for a volume: (volume - 0.5) * 2, never below 0. So 1.0 plays
// at full gain and 0.5 or less is silent.
float GainFromVolume(float volume);

// A source at the listener's front, still, at normal pitch.
void SetSourceDefaults(ALuint source, float gain, bool loop);

// One sound effect: owns its OpenAL source, which the destructor stops and
// deletes.
class ZSoundOpenAL final : public XSound {
public:
    explicit ZSoundOpenAL(ALuint source);
    ~ZSoundOpenAL() override;
    ZSoundOpenAL(const ZSoundOpenAL&) = delete;
    ZSoundOpenAL& operator=(const ZSoundOpenAL&) = delete;

    void Stop() override;
    void SetVolume(float volume) override;

    ALuint Source() const { return source; }
    bool IsStopped() const;

private:
    ALuint source;
};

}  // namespace se
