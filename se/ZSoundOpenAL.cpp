#include "se/ZSoundOpenAL.h"

namespace se {

float GainFromVolume(float volume) {
    const float gain = (volume - 0.5f) * 2.0f;
    return gain < 0.0f ? 0.0f : gain;
}

ZSoundOpenAL::ZSoundOpenAL(ALuint source) : source(source) {
}

ZSoundOpenAL::~ZSoundOpenAL() {
    alSourceStop(source);
    alDeleteSources(1, &source);
}

void ZSoundOpenAL::Stop() {
    alSourceStop(source);
}

void ZSoundOpenAL::SetVolume(float volume) {
    alSourcef(source, AL_GAIN, GainFromVolume(volume));
}

bool ZSoundOpenAL::IsStopped() const {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_STOPPED;
}

}  // namespace se
