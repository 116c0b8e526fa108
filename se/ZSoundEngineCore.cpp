#include "se/ZSoundEngineCore.h"

#include "app/Log.h"
#include "se/WavFile.h"

namespace se {

namespace {

const char* const tag = "SE";

}  // namespace

AudioDevice::AudioDevice() : device(nullptr), context(nullptr) {
    LogMessage("Start creating Sound Engine", tag);
    device = alcOpenDevice(nullptr);
    if (device == nullptr) {
        LogError("Cannot open device", tag);
    }
    context = alcCreateContext(device, nullptr);
    if (context == nullptr) {
        LogError("Cannot create context", tag);
    }
    alcMakeContextCurrent(context);

    const ALfloat orientation[6] = { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f };
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alListenerfv(AL_ORIENTATION, orientation);
}

AudioDevice::~AudioDevice() {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    LogMessage("Sound Engine is destroyed!", tag);
}

ZSoundEngineCore::ZSoundEngineCore(XMusicDecoder& decoder, TrackEnd trackEnd)
    : stream(decoder, trackEnd) {
    LogMessage("Sound Engine is created!", tag);
}

// The effects and then the music release their sources and buffers while
// the context still exists; the device goes last.
ZSoundEngineCore::~ZSoundEngineCore() {
    LogMessage("Killing Sound Engine...", tag);
}

bool ZSoundEngineCore::LoadSoundFile(int sound, const std::string& path) {
    WavSound wav;
    std::string error;
    if (!ReadWavFile(path, wav, error)) {
        LogMessage(("Cannot load sound " + path + ": " + error).c_str(), tag);
        return false;
    }
    const ALenum format = wav.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    const ALsizei bytes = static_cast<ALsizei>(wav.samples.size() * sizeof(int16_t));
    if (!LoadSound(sound, format, wav.samples.data(), bytes, wav.rate)) {
        LogMessage(("Cannot load sound " + path + ": its slot is taken or out of range").c_str(), tag);
        return false;
    }
    return true;
}

void ZSoundEngineCore::PlayMusic(int music, float volume, int32_t) {
    stream.Play(music, volume);
}

int ZSoundEngineCore::CurrentMusic() {
    return stream.Current();
}

void ZSoundEngineCore::SetMusicVolume(float volume) {
    stream.SetVolume(volume);
}

XSound* ZSoundEngineCore::PlaySound(int sound, float volume, bool loop) {
    return effects.Play(sound, volume, loop);
}

void ZSoundEngineCore::StopAllSounds() {
    effects.StopAll();
}

void ZSoundEngineCore::Update() {
    stream.Update();
    effects.EndPeriod();
}

}  // namespace se
