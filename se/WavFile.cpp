#include "se/WavFile.h"

#include <cstdio>
#include <cstring>

namespace se {

namespace {

// No effect comes near this; a larger file is not a sound effect.
const size_t largestFile = 16u << 20;
const int largestRate = 192000;
const uint16_t pcmFormat = 1;
// WAVE_FORMAT_EXTENSIBLE: the encoding is the first two bytes of the
// sub-format's GUID, 24 bytes into the chunk.
const uint16_t extensibleFormat = 0xfffe;
const size_t extensibleSize = 40;

uint32_t Read32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

uint16_t Read16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}

// One chunk of the file: its four-letter id and its body.
struct Chunk {
    const uint8_t* id;
    const uint8_t* body;
    size_t size;
};

// Walks the chunks after the RIFF header; every chunk must lie inside the
// file, its body padded to an even length.
class ChunkWalk {
public:
    ChunkWalk(const uint8_t* bytes, size_t size) : at(bytes), end(bytes + size) {}

    // False at the end of the file; a chunk that does not fit sets broken.
    bool Next(Chunk& chunk) {
        if (end - at < 8) {
            broken = at != end;
            return false;
        }
        const size_t size = Read32(at + 4);
        if (size > static_cast<size_t>(end - at) - 8) {
            broken = true;
            return false;
        }
        chunk = Chunk{at, at + 8, size};
        at += 8 + size;
        at += (size & 1) != 0 && at != end ? 1 : 0;
        return true;
    }

    bool broken = false;

private:
    const uint8_t* at;
    const uint8_t* const end;
};

bool Refuse(std::string& error, const char* reason) {
    error = reason;
    return false;
}

bool ReadFormat(const Chunk& chunk, WavSound& sound, std::string& error) {
    if (chunk.size < 16) {
        return Refuse(error, "its format chunk is too short");
    }
    const uint16_t tag = Read16(chunk.body);
    const uint16_t format =
        tag == extensibleFormat && chunk.size >= extensibleSize ? Read16(chunk.body + 24) : tag;
    const int channels = Read16(chunk.body + 2);
    const uint32_t rate = Read32(chunk.body + 4);
    const int blockAlign = Read16(chunk.body + 12);
    const int bits = Read16(chunk.body + 14);
    if (format != pcmFormat || bits != 16) {
        return Refuse(error, "it is not 16-bit PCM");
    }
    if (channels < 1 || channels > 2 || blockAlign != 2 * channels) {
        return Refuse(error, "it has neither one nor two channels");
    }
    if (rate == 0 || rate > static_cast<uint32_t>(largestRate)) {
        return Refuse(error, "its sample rate is out of range");
    }
    sound.channels = channels;
    sound.rate = static_cast<int>(rate);
    return true;
}

void ReadSamples(const Chunk& chunk, WavSound& sound) {
    const size_t frameBytes = 2 * static_cast<size_t>(sound.channels);
    const size_t count = chunk.size / frameBytes * static_cast<size_t>(sound.channels);
    sound.samples.resize(count);
    for (size_t i = 0; i < count; ++i) {
        sound.samples[i] = static_cast<int16_t>(Read16(chunk.body + 2 * i));
    }
}

}  // namespace

bool ParseWav(const uint8_t* bytes, size_t size, WavSound& sound, std::string& error) {
    sound = WavSound{};
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        return Refuse(error, "it is not a RIFF WAVE file");
    }
    ChunkWalk walk(bytes + 12, size - 12);
    Chunk chunk{};
    bool haveFormat = false;
    while (walk.Next(chunk)) {
        if (std::memcmp(chunk.id, "fmt ", 4) == 0) {
            if (haveFormat) {
                return Refuse(error, "it has two format chunks");
            }
            if (!ReadFormat(chunk, sound, error)) {
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk.id, "data", 4) == 0) {
            if (!haveFormat) {
                return Refuse(error, "its samples come before their format");
            }
            ReadSamples(chunk, sound);
            return sound.samples.empty() ? Refuse(error, "it holds no samples") : true;
        }
    }
    return Refuse(error, walk.broken ? "a chunk runs past the end of the file" : "it holds no samples");
}

bool ReadWavFile(const std::string& path, WavSound& sound, std::string& error) {
    FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Refuse(error, "it cannot be opened");
    }
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> piece(32768);
    size_t read = 0;
    while (bytes.size() <= largestFile && (read = std::fread(piece.data(), 1, piece.size(), file)) > 0) {
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(read));
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return Refuse(error, "it cannot be read");
    }
    if (bytes.size() > largestFile) {
        return Refuse(error, "it is too large for a sound effect");
    }
    return ParseWav(bytes.data(), bytes.size(), sound, error);
}

}  // namespace se
