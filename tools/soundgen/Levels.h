#pragma once

// The levels every sound is made to, in one place: the generator masters to
// them and the tests hold the decoded files to them. Levels are in tenths of
// a dB of full scale (-120 is -12.0 dBFS).
namespace synth {

// Effects are small WAV files at the old sound cards' rate; the music's rate
// is the one lame keeps at its bitrate, so that it never resamples.
constexpr int effectRate = 11025;
constexpr int musicRate = 22050;

constexpr int effectRmsTenths = -120;   // an effect's RMS over its sounding part
constexpr int effectPeakTenths = -15;   // an effect's ceiling: the WAV plays as written
// Effects reach the ear about 6 dB down (OpenAL's distance model) and stereo
// music does not, so music sits 12 dB under them to be heard 6 dB under.
constexpr int musicRmsTenths = -240;
constexpr int musicPeakTenths = -40;    // before encoding: MP3 overshoots its input
constexpr int decodedPeakTenths = -10;  // the highest peak any file may have decoded
// The sounding part of an effect: from its first to its last sample no more
// than this far under its peak.
constexpr int soundingTenths = -240;

constexpr int fullScale = 32767;

// The amplitude of a level, by whole multiplications only, so that every
// compiler and machine rounds it alike.
constexpr int Amplitude(int tenths) {
    const double tenthOfADb = 0.98855309465693886;  // 10^(-1/200)
    double amplitude = fullScale;
    for (int i = 0; i < -tenths; ++i) {
        amplitude *= tenthOfADb;
    }
    return static_cast<int>(amplitude + 0.5);
}

}  // namespace synth
