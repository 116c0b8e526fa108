#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "se/XSoundEngine.h"
#include "se/ZSoundOpenAL.h"

namespace se {

// The browser's sound engine, on the OpenAL that Emscripten provides over
// Web Audio. Effects work as on the desktop. The page has no libmpg123: a
// track is decoded by the browser's own decodeAudioData, which takes the
// whole file and answers later, and its PCM is then streamed in pieces of at
// most 32 KB through two buffers that take turns in the music source's queue,
// as the desktop streams its decoder's output. Every failure ends the
// program through LogError.
class ZSoundEngineWeb final : public XSoundEngine {
public:
    static constexpr int soundCount = 64;
    static constexpr int musicCount = 16;
    static constexpr int chunkSize = 32768;

    ZSoundEngineWeb();
    ~ZSoundEngineWeb();
    ZSoundEngineWeb(const ZSoundEngineWeb&) = delete;
    ZSoundEngineWeb& operator=(const ZSoundEngineWeb&) = delete;

    void PlayMusic(int music, float volume, int32_t unused) override;
    int CurrentMusic() override;
    void SetMusicVolume(float volume) override;
    XSound* PlaySound(int sound, float volume, bool loop) override;
    void StopAllSounds() override;
    void Update() override;

    // Filling the music table; numbers outside it are refused (false).
    bool SetMusicName(int music, const std::string& name);
    // PCM bytes put into the music buffers since the last PlayMusic.
    int64_t StreamedBytes() const { return streamedBytes; }

private:
    enum class MusicState { None, Decoding, Streaming };

    void CreateDevice();
    void CreateMusicSource();
    void ReleaseSounds();
    void ReleaseMusic();
    void ClearMusicQueue();
    void TakeDecodedTrack();
    int DecodeChunk(int index);
    bool RefillMusicBuffer(int index);
    void UpdateMusic();
    void ReapFinishedSounds();

    ALCdevice* device;
    ALCcontext* context;
    std::array<ALuint, soundCount> soundBuffers;
    std::set<ZSoundOpenAL*> activeSounds;
    std::set<int> startedThisTick;
    std::array<std::string, musicCount> musicNames;
    int currentMusic;
    ALuint musicSource;
    std::array<ALuint, 2> musicBuffers;
    MusicState musicState;
    int decodeId;               // the browser's decoding job of the current track
    std::vector<int16_t> pcm;   // the whole decoded track, channels interleaved
    size_t pcmRead;             // samples of pcm already streamed
    int channels;
    int rate;
    int64_t streamedBytes;
};

}  // namespace se
