#include "tools/soundgen/Mix.h"

#include "tools/soundgen/Levels.h"

#include <algorithm>

namespace synth {

namespace {

const int64_t unit = 65536;  // gains' 1.0

// The levels' amplitudes, worked out by the compiler.
constexpr int64_t soundingFloor = Amplitude(soundingTenths);
constexpr int64_t effectCeiling = Amplitude(effectPeakTenths);
constexpr int64_t effectRms = Amplitude(effectRmsTenths);
constexpr int64_t musicCeiling = Amplitude(musicPeakTenths);
constexpr int64_t musicRms = Amplitude(musicRmsTenths);

int64_t SquareRoot(uint64_t n) {
    uint64_t root = 0;
    for (uint64_t bit = uint64_t(1) << 62; bit != 0; bit >>= 2) {
        if (n >= root + bit) {
            n -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
    }
    return static_cast<int64_t>(root);
}

// Bends a sample above `knee` towards `ceiling`, never reaching it.
int64_t SoftClip(int64_t x, int64_t knee, int64_t ceiling) {
    const int64_t size = x < 0 ? -x : x;
    if (size <= knee) {
        return x;
    }
    const int64_t room = ceiling - knee;
    const int64_t bent = knee + (size - knee) * room / (size - knee + room);
    return x < 0 ? -bent : bent;
}

std::vector<int32_t> Scaled(const std::vector<int32_t>& samples, int64_t gain, int64_t knee,
                            int64_t ceiling) {
    std::vector<int32_t> out(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        out[i] = static_cast<int32_t>(SoftClip(samples[i] * gain / unit, knee, ceiling));
    }
    return out;
}

// The soft clip bends a narrow pulse's tall side more than its short one,
// which leaves some DC: taken away in proportion to each sample's size, it
// goes without touching the silences.
std::vector<int32_t> Centred(std::vector<int32_t> samples, int64_t ceiling) {
    int64_t sum = 0;
    int64_t size = 0;
    for (const int32_t sample : samples) {
        sum += sample;
        size += sample < 0 ? -int64_t(sample) : sample;
    }
    for (int32_t& sample : samples) {
        const int64_t moved = sample - sum * (sample < 0 ? -int64_t(sample) : sample) / (size > 0 ? size : 1);
        sample = static_cast<int32_t>(std::max(-ceiling, std::min(ceiling, moved)));
    }
    return samples;
}

std::vector<int16_t> Narrowed(const std::vector<int32_t>& samples) {
    return std::vector<int16_t>(samples.begin(), samples.end());
}

int64_t GainFor(int64_t target, int64_t level) {
    return level > 0 ? target * unit / level : unit;
}

}  // namespace

std::vector<int32_t> Mix(const std::vector<Placed>& notes, int64_t length, int channels, bool wrap,
                         int rate) {
    std::vector<int32_t> out(static_cast<size_t>(length * channels));
    for (const Placed& placed : notes) {
        const std::vector<int32_t> voice = RenderNote(placed.instrument, placed.note, placed.gate, rate);
        const int pan = placed.instrument.pan;
        const int gains[2] = {channels == 1 ? 100 : 100 - pan, 100 + pan};
        for (size_t i = 0; i < voice.size(); ++i) {
            int64_t frame = placed.start + static_cast<int64_t>(i);
            if (wrap) {
                frame %= length;
            } else if (static_cast<size_t>((frame + 1) * channels) > out.size()) {
                out.resize(static_cast<size_t>((frame + 1) * channels));
            }
            for (int c = 0; c < channels; ++c) {
                out[static_cast<size_t>(frame * channels + c)] += voice[i] * gains[c] / 100;
            }
        }
    }
    return out;
}

int64_t Peak(const std::vector<int32_t>& samples) {
    int64_t peak = 0;
    for (const int32_t sample : samples) {
        peak = std::max<int64_t>(peak, sample < 0 ? -int64_t(sample) : sample);
    }
    return peak;
}

Span SoundingPart(const std::vector<int32_t>& samples) {
    const int64_t threshold = Peak(samples) * soundingFloor / fullScale;
    Span span{samples.size(), 0};
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] >= threshold || -samples[i] >= threshold) {
            span.begin = std::min(span.begin, i);
            span.end = i + 1;
        }
    }
    return span.end > span.begin ? span : Span{0, 0};
}

int64_t Rms(const std::vector<int32_t>& samples, Span span) {
    if (span.end <= span.begin) {
        return 0;
    }
    uint64_t sum = 0;
    for (size_t i = span.begin; i < span.end; ++i) {
        sum += static_cast<uint64_t>(int64_t(samples[i]) * samples[i]);
    }
    return SquareRoot(sum / (span.end - span.begin));
}

std::vector<int16_t> MasterEffect(const std::vector<int32_t>& mono) {
    // Loud effects with peaks held under the ceiling: the gain is raised
    // until the RMS meets its mark, the soft clip keeping the peaks in.
    const int64_t ceiling = effectCeiling;
    const int64_t knee = ceiling / 2;
    const int64_t target = effectRms;
    const int64_t first = GainFor(target, Rms(mono, SoundingPart(mono)));
    int64_t gain = first;
    std::vector<int32_t> out = Scaled(mono, gain, knee, ceiling);
    for (int round = 0; round < 4; ++round) {
        gain = std::min(gain * GainFor(target, Rms(out, SoundingPart(out))) / unit, 4 * first);
        out = Scaled(mono, gain, knee, ceiling);
    }
    return Narrowed(Centred(out, ceiling));
}

std::vector<int16_t> MasterMusic(const std::vector<int32_t>& stereo) {
    const Span whole{0, stereo.size()};
    const int64_t ceiling = musicCeiling;
    const int64_t gain = std::min(GainFor(musicRms, Rms(stereo, whole)),
                                  GainFor(ceiling, Peak(stereo)));
    return Narrowed(Scaled(stereo, gain, ceiling, ceiling));
}

}  // namespace synth
