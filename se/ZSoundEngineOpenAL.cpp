#include "se/ZSoundEngineOpenAL.h"

#include <vector>

#include "app/Log.h"

namespace se {

namespace {

const char* const tag = "SE";

void SetSourceDefaults(ALuint source, float gain, bool loop) {
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_GAIN, gain);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 2.0f);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
}

}  // namespace

ZSoundEngineOpenAL::ZSoundEngineOpenAL()
    : device(nullptr),
      context(nullptr),
      soundBuffers{},
      musicFile(nullptr),
      currentMusic(-1),
      musicSource(0),
      musicBuffers{},
      decoder(nullptr),
      decoderStatus(MPG123_NEED_MORE),
      streamedBytes(0) {
    LogMessage("Start creating Sound Engine", tag);
    CreateDevice();
    CreateMusicSource();
    CreateDecoder();
    LogMessage("Sound Engine is created!", tag);
}

// Sources and buffers go while their context still exists; only then is the
// context destroyed and the device closed.
ZSoundEngineOpenAL::~ZSoundEngineOpenAL() {
    LogMessage("Killing Sound Engine...", tag);
    ReleaseSounds();
    ReleaseMusic();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    LogMessage("Sound Engine is destroyed!", tag);
}

void ZSoundEngineOpenAL::CreateDevice() {
    device = alcOpenDevice(nullptr);
    if (device == nullptr) {
        LogError("Cannot open device", tag);
    }
    context = alcCreateContext(device, nullptr);
    if (context == nullptr) {
        LogError("Cannot create context", tag);
    }
    alcMakeContextCurrent(context);
}

void ZSoundEngineOpenAL::CreateMusicSource() {
    const ALfloat orientation[6] = { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f };
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alListenerfv(AL_ORIENTATION, orientation);

    alGenSources(1, &musicSource);
    SetSourceDefaults(musicSource, 1.0f, false);
    alGenBuffers(2, musicBuffers.data());
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during initializarion of sound engine.", tag);
    }
}

void ZSoundEngineOpenAL::CreateDecoder() {
    mpg123_init();
    decoder = mpg123_parnew(nullptr, nullptr, nullptr);
    if (decoder == nullptr) {
        LogError("Cannot create mpg123 handle.", tag);
    }
    mpg123_param(decoder, MPG123_VERBOSE, 2, 0);
    // A track keeps the output format of its first frame: frames of another
    // rate or channel count (files joined together, damaged headers) are not
    // decoded. A change would leave samples of one format in a buffer labelled
    // with the next, and OpenAL refuses to queue buffers of mixed formats.
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_NO_FRANKENSTEIN, 0);
}

void ZSoundEngineOpenAL::ReleaseSounds() {
    for (ZSoundOpenAL* const sound : activeSounds) {
        delete sound;
    }
    activeSounds.clear();
    for (ALuint& buffer : soundBuffers) {
        if (buffer != 0) {
            alDeleteBuffers(1, &buffer);
            buffer = 0;
        }
    }
}

void ZSoundEngineOpenAL::ReleaseMusic() {
    if (musicFile != nullptr) {
        std::fclose(musicFile);
        musicFile = nullptr;
    }
    alSourceStop(musicSource);
    alDeleteSources(1, &musicSource);
    alDeleteBuffers(2, musicBuffers.data());
    mpg123_delete(decoder);
    decoder = nullptr;
}

bool ZSoundEngineOpenAL::SetMusicName(int music, const std::string& name) {
    if (music < 0 || music >= musicCount) {
        return false;
    }
    musicNames[music] = name;
    return true;
}

bool ZSoundEngineOpenAL::LoadSound(int sound, ALenum format, const void* samples, ALsizei size,
                                   ALsizei rate) {
    if (sound < 0 || sound >= soundCount || soundBuffers[sound] != 0) {
        return false;
    }
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, format, samples, size, rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        LogError("Failed during loading sound.", tag);
    }
    soundBuffers[sound] = buffer;
    return true;
}

ALuint ZSoundEngineOpenAL::SoundBuffer(int sound) const {
    return sound >= 0 && sound < soundCount ? soundBuffers[sound] : 0;
}

void ZSoundEngineOpenAL::SetMusicVolume(float volume) {
    if (musicSource != 0) {
        alSourcef(musicSource, AL_GAIN, GainFromVolume(volume));
    }
}

// A non-looping effect starts at most once between two Updates; later
// requests in the same period get null.
XSound* ZSoundEngineOpenAL::PlaySound(int sound, float volume, bool loop) {
    if (sound < 0 || sound >= soundCount) {
        return nullptr;
    }
    if (!loop && !startedThisTick.insert(sound).second) {
        return nullptr;
    }
    ALuint source = 0;
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(soundBuffers[sound]));
    SetSourceDefaults(source, GainFromVolume(volume), loop);
    alSourcePlay(source);
    ZSoundOpenAL* const played = new ZSoundOpenAL(source);
    activeSounds.insert(played);
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during playing sound.", tag);
    }
    return played;
}

void ZSoundEngineOpenAL::StopAllSounds() {
    while (!activeSounds.empty()) {
        const auto first = activeSounds.begin();
        delete *first;
        activeSounds.erase(first);
    }
    startedThisTick.clear();
}

void ZSoundEngineOpenAL::Update() {
    UpdateMusic();
    startedThisTick.clear();
    ReapFinishedSounds();
}

void ZSoundEngineOpenAL::ReapFinishedSounds() {
    std::vector<ZSoundOpenAL*> finished;
    for (ZSoundOpenAL* const sound : activeSounds) {
        if (sound->IsStopped()) {
            finished.push_back(sound);
        }
    }
    for (ZSoundOpenAL* const sound : finished) {
        activeSounds.erase(sound);
        delete sound;
    }
}

}  // namespace se
