#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "se/MusicStream.h"
#include "se/SoundEffects.h"
#include "se/XMusicDecoder.h"
#include "se/XSoundEngine.h"

namespace se {

// Opens the default device and makes its context current, with the listener
// at the origin; closes them when destroyed. The engine's first member, made
// first and destroyed last, it also opens and closes the engine's log lines.
class AudioDevice {
public:
    AudioDevice();
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

private:
    ALCdevice* device;
    ALCcontext* context;
};

// The sound engine of every platform, on OpenAL: sound effects and one
// streamed music track. A platform's engine brings only the music's decoder
// and how the end of a track is told. Every failure ends the program through
// LogError.
class ZSoundEngineCore : public XSoundEngine {
public:
    static constexpr int soundCount = SoundEffects::soundCount;
    static constexpr int musicCount = MusicStream::musicCount;
    static constexpr int chunkSize = XMusicDecoder::pieceSize;

    void PlayMusic(int music, float volume, int32_t unused) override;
    int CurrentMusic() override;
    void SetMusicVolume(float volume) override;
    XSound* PlaySound(int sound, float volume, bool loop) override;
    void StopAllSounds() override;
    void Update() override;

    // Filling the tables; numbers outside them are refused (false). A looping
    // track starts again at its end without a gap; any other plays once.
    // LoadSound fills an empty slot only, with a new buffer that the engine
    // owns from then on.
    bool SetMusicName(int music, const std::string& name, bool loop = false) {
        return stream.SetName(music, name, loop);
    }
    bool LoadSound(int sound, ALenum format, const void* samples, ALsizei size, ALsizei rate) {
        return effects.Load(sound, format, samples, size, rate);
    }
    // Fills an empty effect slot from a 16-bit PCM WAV file. A file that
    // cannot be read or is not such a file is said in one log line (false),
    // and the effect stays silent.
    bool LoadSoundFile(int sound, const std::string& path);

    // Read-only views for diagnostics.
    ALuint MusicSource() const { return stream.Source(); }
    ALuint MusicBuffer(int index) const { return stream.Buffer(index); }
    ALuint SoundBuffer(int sound) const { return effects.Buffer(sound); }
    size_t ActiveSoundCount() const { return effects.ActiveCount(); }
    // PCM bytes put into the music buffers since the last PlayMusic.
    int64_t StreamedBytes() const { return stream.StreamedBytes(); }

protected:
    // Keeps the decoder, which it uses only in PlayMusic and Update.
    ZSoundEngineCore(XMusicDecoder& decoder, TrackEnd trackEnd);
    ~ZSoundEngineCore();

private:
    AudioDevice device;
    MusicStream stream;
    SoundEffects effects;
};

}  // namespace se
