#pragma once

#include <string>

namespace se {

// A piece of a track's PCM: 16-bit samples, channels interleaved, whole
// frames only.
struct PcmPiece {
    const void* samples;
    int bytes;
    int channels;
    int rate;
};

// The MP3 decoding a platform brings to the music stream. A decoder holds
// a track's file or job, so it is never copied. Owners destroy decoders
// through their concrete class, so there is no virtual destructor.
class XMusicDecoder {
public:
    // The most bytes one Decode gives.
    static constexpr int pieceSize = 32768;

    // Starts on the named file and drops the track before it. A looping
    // track starts again at its end: its first PCM follows its last without
    // a gap, and it is never exhausted. False, with the reason in Failure(),
    // if the file cannot be opened.
    virtual bool Open(const std::string& name, bool loop) = 0;
    // Whether the opened track can be decoded yet: a decoder may take the
    // whole file and answer later.
    virtual bool IsReady() = 0;
    // The next PCM of the track, valid until the next call; 0 bytes when
    // none came out this time.
    virtual PcmPiece Decode() = 0;
    // True once nothing more can come out of the track.
    virtual bool IsExhausted() const = 0;
    // Why the track could not be opened or decoded any further, or empty.
    // A failed track is exhausted.
    virtual const std::string& Failure() const = 0;

protected:
    XMusicDecoder() = default;
    ~XMusicDecoder() = default;
    XMusicDecoder(const XMusicDecoder&) = delete;
    XMusicDecoder& operator=(const XMusicDecoder&) = delete;
};

}  // namespace se
