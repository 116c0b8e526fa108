#pragma once

#include "tools/soundgen/Mix.h"

#include <string>
#include <vector>

namespace synth {

// A piece of music read from its text (music/*.txt, whose comments say how
// to write one): its notes placed in time and its length in frames.
struct Tune {
    std::vector<Placed> notes;
    int64_t frames = 0;
};

// Reads a tune; on a mistake, returns false with the line and what is wrong
// in `problem`.
bool ReadTune(const std::string& text, Tune& tune, std::string& problem);

}  // namespace synth
