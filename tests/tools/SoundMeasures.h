#pragma once

// What a player hears of a sound, measured: the WAV read and the MP3
// decoded by the desktop's own sound engine. Each measure is plain
// arithmetic on the decoded samples, so that the browser's tests can do the
// same on what its decoder gives.
#include "se/WavFile.h"

#include <string>

namespace soundtest {

// 16-bit samples, channels interleaved, as the engine plays them.
using Pcm = se::WavSound;
size_t Frames(const Pcm& pcm);

// A WAV file read by the engine's own reader; an empty Pcm and a reason if
// it refuses the file.
Pcm ReadWav(const std::string& path, std::string& problem);
// A piece of music as the desktop's engine decodes it (libmpg123): once
// through, or a looping track's first `frames` frames, where its end is
// followed by its start again.
Pcm DecodeMusic(const std::string& path, bool loop, size_t frames, std::string& problem);

// The largest sample's size, in dB of full scale (32768).
double PeakDb(const Pcm& pcm);
// The mean sample of the worst channel, as a fraction of full scale.
double DcOffset(const Pcm& pcm);
// RMS in dB of full scale over every sample.
double RmsDb(const Pcm& pcm);
// RMS in dB of full scale over the sounding part: from the first to the last
// sample no more than `belowPeakDb` under the peak.
double SoundingRmsDb(const Pcm& pcm, double belowPeakDb);

// The seam of a loop that is `frames` long, where its last frame is followed
// by its first again: `pcm` holds more than one pass of it.
struct Join {
    double step;         // |first - last|, the worst channel's
    double typicalStep;  // the mean |x[i+1] - x[i]| of that channel
    size_t zeroRun;      // the run of frames within +-16 of 0 through the seam
};
Join MeasureJoin(const Pcm& pcm, size_t frames);

}  // namespace soundtest
