#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "se/XMusicDecoder.h"

namespace se {

// The browser's MP3 decoding, without libmpg123: the whole file goes to the
// browser's decodeAudioData, which answers later; the stream then takes the
// track's PCM in pieces. A file that cannot be read or decoded ends its
// track, with the reason in Failure().
class ZMusicDecoderWeb final : public XMusicDecoder {
public:
    ZMusicDecoderWeb();
    ~ZMusicDecoderWeb();

    bool Open(const std::string& name, bool loop) override;
    bool IsReady() override;
    PcmPiece Decode() override;
    bool IsExhausted() const override;
    const std::string& Failure() const override { return failure; }

private:
    void TakeTrack();
    PcmPiece JoinNextPass(size_t tail, size_t wanted);

    int job;                    // the browser's decoding job of the current track
    bool decoding;
    std::vector<int16_t> pcm;   // the whole decoded track, channels interleaved
    size_t pcmRead;             // samples of pcm already decoded out
    int channels;
    int rate;
    bool loop;
    std::vector<int16_t> joined;  // a looping track's last PCM and its first
    std::string failure;
};

}  // namespace se
