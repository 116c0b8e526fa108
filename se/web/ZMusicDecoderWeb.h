#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "se/XMusicDecoder.h"

namespace se {

// The browser's MP3 decoding, without libmpg123: the whole file goes to the
// browser's decodeAudioData, which answers later; the stream then takes the
// track's PCM in pieces. Every failure ends the program through LogError.
class ZMusicDecoderWeb final : public XMusicDecoder {
public:
    ZMusicDecoderWeb();
    ~ZMusicDecoderWeb();

    void Open(const std::string& name) override;
    bool IsReady() override;
    PcmPiece Decode() override;
    bool IsExhausted() const override;

private:
    void TakeTrack();

    int job;                    // the browser's decoding job of the current track
    bool decoding;
    std::vector<int16_t> pcm;   // the whole decoded track, channels interleaved
    size_t pcmRead;             // samples of pcm already decoded out
    int channels;
    int rate;
};

}  // namespace se
