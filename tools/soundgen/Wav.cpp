#include "tools/soundgen/Wav.h"

#include <cstdio>

namespace synth {

namespace {

void Put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

}  // namespace

std::string EncodeWav(const std::vector<int16_t>& samples, int channels, int rate) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const uint32_t frameBytes = static_cast<uint32_t>(channels * 2);
    std::string out = "RIFF";
    Put(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, 1, 2);  // PCM
    Put(out, static_cast<uint32_t>(channels), 2);
    Put(out, static_cast<uint32_t>(rate), 4);
    Put(out, static_cast<uint32_t>(rate) * frameBytes, 4);
    Put(out, frameBytes, 2);
    Put(out, 16, 2);
    out += "data";
    Put(out, dataBytes, 4);
    for (const int16_t sample : samples) {
        Put(out, static_cast<uint16_t>(sample), 2);
    }
    return out;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr && std::fclose(file) != 0) {
        return false;
    }
    if (!written) {
        std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
    }
    return written;
}

}  // namespace synth
