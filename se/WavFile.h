#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace se {

// The samples of a sound effect's file: 16-bit PCM, channels interleaved.
struct WavSound {
    std::vector<int16_t> samples;
    int channels = 0;
    int rate = 0;
};

// Reads a RIFF WAVE file of 16-bit PCM in one or two channels. Any other
// file (another encoding, a chunk that runs past the end, no samples) is
// refused: false, with the reason in `error`.
bool ParseWav(const uint8_t* bytes, size_t size, WavSound& sound, std::string& error);
bool ReadWavFile(const std::string& path, WavSound& sound, std::string& error);

}  // namespace se
