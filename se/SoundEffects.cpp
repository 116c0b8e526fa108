#include "se/SoundEffects.h"

#include <vector>

#include "app/Log.h"

namespace se {

namespace {

const char* const tag = "SE";

}  // namespace

SoundEffects::SoundEffects() : buffers{} {
}

SoundEffects::~SoundEffects() {
    for (ZSoundOpenAL* const sound : active) {
        delete sound;
    }
    for (ALuint& buffer : buffers) {
        if (buffer != 0) {
            alDeleteBuffers(1, &buffer);
        }
    }
}

bool SoundEffects::Load(int sound, ALenum format, const void* samples, ALsizei size, ALsizei rate) {
    if (sound < 0 || sound >= soundCount || buffers[sound] != 0) {
        return false;
    }
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, format, samples, size, rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        LogError("Failed during loading sound.", tag);
    }
    buffers[sound] = buffer;
    return true;
}

ALuint SoundEffects::Buffer(int sound) const {
    return sound >= 0 && sound < soundCount ? buffers[sound] : 0;
}

// A non-looping effect starts at most once in an update period; later
// requests in the same period get null.
ZSoundOpenAL* SoundEffects::Play(int sound, float volume, bool loop) {
    if (sound < 0 || sound >= soundCount) {
        return nullptr;
    }
    if (!loop && !startedThisPeriod.insert(sound).second) {
        return nullptr;
    }
    ALuint source = 0;
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffers[sound]));
    SetSourceDefaults(source, GainFromVolume(volume), loop);
    alSourcePlay(source);
    ZSoundOpenAL* const played = new ZSoundOpenAL(source);
    active.insert(played);
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during playing sound.", tag);
    }
    return played;
}

void SoundEffects::StopAll() {
    while (!active.empty()) {
        const auto first = active.begin();
        delete *first;
        active.erase(first);
    }
    startedThisPeriod.clear();
}

void SoundEffects::EndPeriod() {
    startedThisPeriod.clear();
    ReapFinished();
}

void SoundEffects::ReapFinished() {
    std::vector<ZSoundOpenAL*> finished;
    for (ZSoundOpenAL* const sound : active) {
        if (sound->IsStopped()) {
            finished.push_back(sound);
        }
    }
    for (ZSoundOpenAL* const sound : finished) {
        active.erase(sound);
        delete sound;
    }
}

}  // namespace se
