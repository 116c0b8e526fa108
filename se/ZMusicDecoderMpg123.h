#pragma once

#include <mpg123.h>

#include <array>
#include <cstdio>
#include <string>

#include "se/XMusicDecoder.h"

namespace se {

// The desktop's MP3 decoding: the file fed to libmpg123 in pieces of at most
// 32 KB as the stream asks for PCM. A file that cannot be opened or decoded
// ends its track, with the reason in Failure(); only a decoder that cannot
// be made ends the program through LogError.
class ZMusicDecoderMpg123 final : public XMusicDecoder {
public:
    ZMusicDecoderMpg123();
    ~ZMusicDecoderMpg123();

    bool Open(const std::string& name, bool loop) override;
    bool IsReady() override { return true; }
    PcmPiece Decode() override;
    bool IsExhausted() const override;
    const std::string& Failure() const override { return failure; }

private:
    void CloseFile();
    bool StartFeed();
    bool FileAtEnd() const;
    bool PassEnded() const;
    size_t DecodeInto(size_t produced);
    size_t JoinNextPass(size_t produced);
    PcmPiece Nothing();
    void DecoderError();

    FILE* file;
    mpg123_handle* decoder;
    int status;
    int emptyDrains;
    bool loop;
    size_t passBytes;     // PCM bytes the current pass of the track has given
    std::string failure;
    std::array<unsigned char, pieceSize> input;
    std::array<unsigned char, pieceSize> pcm;
};

}  // namespace se
