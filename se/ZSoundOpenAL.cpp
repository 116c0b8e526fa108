#include "se/ZSoundOpenAL.h"

namespace se {

float GainFromVolume(float volume) {
    const float gain = (volume - 0.5f) * 2.0f;
    return gain < 0.0f ? 0.0f : gain;
}

void SetSourceDefaults(ALuint source, float gain, bool loop) {
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_GAIN, gain);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 2.0f);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
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
