#pragma once

// What a player hears of a sound, measured: the WAV read as the engine reads
// it, the MP3 decoded by libmpg123 as the desktop's engine decodes it. Each
// measure is plain arithmetic on the decoded samples, so that the browser's
// tests can do the same on what its decoder gives.
#include <cstdint>
#include <string>
#include <vector>

namespace soundtest {

// 16-bit samples, channels interleaved.
struct Pcm {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;

    size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// A 16-bit PCM WAV file; an empty Pcm and a reason if the bytes are not one.
Pcm ReadWav(const std::string& bytes, std::string& problem);
// The whole file fed to libmpg123 at once, every sample it gives out.
Pcm DecodeMp3(const std::string& path, std::string& problem);

// The largest sample's size, in dB of full scale (32768).
double PeakDb(const Pcm& pcm);
// The mean sample of the worst channel, as a fraction of full scale.
double DcOffset(const Pcm& pcm);
// RMS in dB of full scale over every sample.
double RmsDb(const Pcm& pcm);
// RMS in dB of full scale over the sounding part: from the first to the last
// sample no more than `belowPeakDb` under the peak.
double SoundingRmsDb(const Pcm& pcm, double belowPeakDb);

// The seam of a loop, where its last frame meets its first again.
struct Join {
    double step;         // |first - last|, the worst channel's
    double typicalStep;  // the mean |x[i+1] - x[i]| of that channel
    size_t zeroRun;      // the longest run of silent frames through the seam
};
Join MeasureJoin(const Pcm& pcm);

}  // namespace soundtest
