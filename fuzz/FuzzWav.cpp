// The effects' WAV reader. A file it takes must hold whole frames of one or
// two channels at a rate in range; a file it refuses must say why.
#include <string>

#include "fuzz/FuzzSupport.h"
#include "se/WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    se::WavSound sound;
    std::string error;
    if (!se::ParseWav(data, size, sound, error)) {
        if (error.empty()) {
            fuzz::Fail("a refused file without a reason");
        }
        return 0;
    }
    if (sound.channels < 1 || sound.channels > 2 || sound.rate <= 0 || sound.samples.empty() ||
        sound.samples.size() % static_cast<size_t>(sound.channels) != 0) {
        fuzz::Fail("a file taken holds no whole frames");
    }
    if (sound.samples.size() * sizeof(int16_t) > size) {
        fuzz::Fail("a file taken gave more samples than it has bytes");
    }
    return 0;
}
