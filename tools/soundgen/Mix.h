#pragma once

#include "tools/soundgen/Voice.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

// An instrument's note placed in time, in samples.
struct Placed {
    Instrument instrument;
    int note;
    int64_t start;
    int gate;
};

// Adds the notes, at `rate` samples a second, into `channels` interleaved channels (1, or 2 with each
// instrument's pan). With `wrap`, the result is exactly `length` frames long
// and a tail past the end sounds at the start, so that the loop repeats
// without a seam; without, it grows to hold the last tail.
std::vector<int32_t> Mix(const std::vector<Placed>& notes, int64_t length, int channels, bool wrap,
                         int rate);

// The part of a mono sound from its first to its last sample within
// soundingTenths of its peak, as [begin, end).
struct Span {
    size_t begin;
    size_t end;
};
Span SoundingPart(const std::vector<int32_t>& samples);

int64_t Peak(const std::vector<int32_t>& samples);
int64_t Rms(const std::vector<int32_t>& samples, Span span);

// 16-bit samples at the effects' or the music's levels (Levels.h).
std::vector<int16_t> MasterEffect(const std::vector<int32_t>& mono);
std::vector<int16_t> MasterMusic(const std::vector<int32_t>& stereo);

}  // namespace synth
