#pragma once

#include <cstdint>

#include "se/XSound.h"

namespace se {

// Sound effects and one streamed music track. Owners destroy engines through
// their concrete class, so there is no virtual destructor.
class XSoundEngine {
public:
    virtual void PlayMusic(int music, float volume, int32_t unused) = 0;
    virtual int CurrentMusic() = 0;
    virtual void SetMusicVolume(float volume) = 0;
    virtual XSound* PlaySound(int sound, float volume, bool loop) = 0;
    virtual void StopAllSounds() = 0;
    virtual void Update() = 0;

protected:
    ~XSoundEngine() = default;
};

}  // namespace se
