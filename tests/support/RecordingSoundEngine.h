#pragma once

#include <utility>
#include <vector>

#include "se/XSoundEngine.h"

namespace testsupport {

// A sound engine that writes down what it is asked. Its music always reads
// as not playing, as a track that played once or a missing file does.
class RecordingSoundEngine final : public se::XSoundEngine {
public:
    using Call = std::pair<int, float>;  // effect or track (-1: a volume change), volume

    void PlayMusic(int music, float volume, int32_t) override { tracks.push_back({music, volume}); }
    int CurrentMusic() override { return -1; }
    void SetMusicVolume(float volume) override { tracks.push_back({-1, volume}); }
    se::XSound* PlaySound(int sound, float volume, bool) override {
        effects.push_back({sound, volume});
        return nullptr;
    }
    void StopAllSounds() override {}
    void Update() override {}

    std::vector<Call> effects;
    std::vector<Call> tracks;  // tracks started and music volumes set
};

}  // namespace testsupport
