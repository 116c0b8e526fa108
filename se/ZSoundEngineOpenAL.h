#pragma once

#include <AL/al.h>
#include <AL/alc.h>
#include <mpg123.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "se/XSoundEngine.h"
#include "se/ZSoundOpenAL.h"

namespace se {

// Sound effects from a table of preloaded buffers, and one MP3 track
// streamed from its file through two OpenAL buffers that take turns in the
// queue of the music source. Every failure ends the process through LogError.
class ZSoundEngineOpenAL final : public XSoundEngine {
public:
    static constexpr int soundCount = 64;
    static constexpr int musicCount = 16;
    static constexpr int chunkSize = 32768;

    ZSoundEngineOpenAL();
    ~ZSoundEngineOpenAL();
    ZSoundEngineOpenAL(const ZSoundEngineOpenAL&) = delete;
    ZSoundEngineOpenAL& operator=(const ZSoundEngineOpenAL&) = delete;

    void PlayMusic(int music, float volume, int32_t unused) override;
    int CurrentMusic() override;
    void SetMusicVolume(float volume) override;
    XSound* PlaySound(int sound, float volume, bool loop) override;
    void StopAllSounds() override;
    void Update() override;

    // Filling the tables. The game itself fills nothing; numbers outside the
    // tables are refused (false). LoadSound fills an empty slot only, with a
    // new buffer that the engine owns from then on.
    bool SetMusicName(int music, const std::string& name);
    bool LoadSound(int sound, ALenum format, const void* samples, ALsizei size, ALsizei rate);

    // Read-only views for diagnostics.
    ALuint MusicSource() const { return musicSource; }
    ALuint MusicBuffer(int index) const { return musicBuffers[index & 1]; }
    ALuint SoundBuffer(int sound) const;
    size_t ActiveSoundCount() const { return activeSounds.size(); }
    // PCM bytes put into the music buffers since the last PlayMusic.
    int64_t StreamedBytes() const { return streamedBytes; }

private:
    void CreateDevice();
    void CreateMusicSource();
    void CreateDecoder();
    void ReleaseSounds();
    void ReleaseMusic();

    int DecodeChunk(int index);
    [[noreturn]] void DecoderError() const;
    bool MusicExhausted() const;
    void ClearMusicQueue();
    void StartMusicQueue(const std::string& name);
    bool RefillMusicBuffer(int index);
    void EndOfMusic();
    void UpdateMusic();
    void ReapFinishedSounds();

    ALCdevice* device;
    ALCcontext* context;
    std::array<ALuint, soundCount> soundBuffers;
    std::set<ZSoundOpenAL*> activeSounds;
    std::set<int> startedThisTick;
    std::array<std::string, musicCount> musicNames;
    FILE* musicFile;
    int currentMusic;
    ALuint musicSource;
    std::array<ALuint, 2> musicBuffers;
    mpg123_handle* decoder;
    std::array<unsigned char, chunkSize> inputChunk;
    std::array<unsigned char, chunkSize> pcmChunk;
    int decoderStatus;
    int64_t streamedBytes;
};

}  // namespace se
