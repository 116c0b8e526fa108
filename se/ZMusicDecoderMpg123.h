#pragma once

#include <mpg123.h>

#include <array>
#include <cstdio>
#include <string>

#include "se/XMusicDecoder.h"

namespace se {

// The desktop's MP3 decoding: the file fed to libmpg123 in pieces of at most
// 32 KB as the stream asks for PCM. Every failure ends the program through
// LogError.
class ZMusicDecoderMpg123 final : public XMusicDecoder {
public:
    ZMusicDecoderMpg123();
    ~ZMusicDecoderMpg123();

    void Open(const std::string& name) override;
    bool IsReady() override { return true; }
    PcmPiece Decode() override;
    bool IsExhausted() const override;

private:
    void CloseFile();
    bool FileAtEnd() const;
    PcmPiece Nothing();
    [[noreturn]] void DecoderError() const;

    FILE* file;
    mpg123_handle* decoder;
    int status;
    int emptyDrains;
    std::array<unsigned char, pieceSize> input;
    std::array<unsigned char, pieceSize> pcm;
};

}  // namespace se
