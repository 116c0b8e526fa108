#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

// A 16-bit PCM WAV file (RIFF, `fmt `, `data`) of interleaved samples.
std::string EncodeWav(const std::vector<int16_t>& samples, int channels, int rate);

bool WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace synth
