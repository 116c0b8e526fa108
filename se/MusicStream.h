#pragma once

#include <AL/al.h>

#include <array>
#include <cstdint>
#include <string>

#include "se/XMusicDecoder.h"

namespace se {

// How the end of a track is told on standard error ("End of file?"): by
// every buffer that comes back to find nothing more, or once.
enum class TrackEnd { EveryEmptyBuffer, Once };

// One music track at a time, its PCM streamed from a decoder through two
// OpenAL buffers that take turns in the queue of the music source. A track
// whose file cannot be opened or decoded says so in one log line and stops;
// OpenAL's failures end the program through LogError.
class MusicStream {
public:
    static constexpr int musicCount = 16;

    // Keeps the decoder, which it uses only in Play and Update.
    MusicStream(XMusicDecoder& decoder, TrackEnd trackEnd);
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Numbers outside the table are refused (false). A looping track starts
    // again at its end without a gap; any other plays once.
    bool SetName(int music, const std::string& name, bool loop);
    void Play(int music, float volume);
    int Current() const { return current; }
    void SetVolume(float volume);
    void Update();

    ALuint Source() const { return source; }
    ALuint Buffer(int index) const { return buffers[index & 1]; }
    // PCM bytes put into the buffers since the last Play.
    int64_t StreamedBytes() const { return streamedBytes; }

private:
    enum class State { Idle, Waiting, Streaming };

    void ClearQueue();
    void StartQueue();
    void GiveUp(const std::string& reason);
    void CheckStarted() const;
    int Fill(int index);
    bool Refill(int index);
    void UpdateQueue();

    XMusicDecoder& decoder;
    const TrackEnd trackEnd;
    std::array<std::string, musicCount> names;
    std::array<bool, musicCount> loops;
    int current;
    State state;
    ALuint source;
    std::array<ALuint, 2> buffers;
    int64_t streamedBytes;
};

}  // namespace se
