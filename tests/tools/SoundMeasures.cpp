#include "tests/tools/SoundMeasures.h"

#include "se/ZMusicDecoderMpg123.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace soundtest {

namespace {

double Db(double amplitude) {
    return 20.0 * std::log10(std::max(amplitude, 1e-9) / 32768.0);
}

double Rms(const Pcm& pcm, size_t begin, size_t end) {
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) {
        sum += double(pcm.samples[i]) * pcm.samples[i];
    }
    return end > begin ? std::sqrt(sum / double(end - begin)) : 0.0;
}

// Silence as a decoder gives it: not always exact zeros.
const int silence = 16;

bool SilentFrame(const Pcm& pcm, size_t frame) {
    for (int c = 0; c < pcm.channels; ++c) {
        if (std::abs(pcm.samples[frame * pcm.channels + c]) > silence) {
            return false;
        }
    }
    return true;
}

int16_t At(const Pcm& pcm, size_t frame, int channel) {
    return pcm.samples[frame * pcm.channels + channel];
}

}  // namespace

size_t Frames(const Pcm& pcm) {
    return pcm.channels > 0 ? pcm.samples.size() / pcm.channels : 0;
}

Pcm ReadWav(const std::string& path, std::string& problem) {
    Pcm pcm;
    if (!se::ReadWavFile(path, pcm, problem)) {
        pcm = Pcm();
    }
    return pcm;
}

Pcm DecodeMusic(const std::string& path, bool loop, size_t frames, std::string& problem) {
    se::ZMusicDecoderMpg123 decoder;
    Pcm pcm;
    decoder.Open(path, loop);
    for (int idle = 0; idle < 100 && !decoder.IsExhausted() && (!loop || Frames(pcm) < frames);) {
        const se::PcmPiece piece = decoder.Decode();
        const int16_t* samples = static_cast<const int16_t*>(piece.samples);
        pcm.samples.insert(pcm.samples.end(), samples, samples + piece.bytes / 2);
        pcm.channels = piece.bytes > 0 ? piece.channels : pcm.channels;
        pcm.rate = piece.bytes > 0 ? piece.rate : pcm.rate;
        idle = piece.bytes > 0 ? 0 : idle + 1;
    }
    problem = decoder.Failure();
    if (loop) {
        pcm.samples.resize(std::min(pcm.samples.size(), frames * pcm.channels));
    }
    return pcm;
}

double PeakDb(const Pcm& pcm) {
    int peak = 0;
    for (const int16_t sample : pcm.samples) {
        peak = std::max(peak, std::abs(int(sample)));
    }
    return Db(peak);
}

double DcOffset(const Pcm& pcm) {
    double worst = 0.0;
    for (int c = 0; c < pcm.channels; ++c) {
        double sum = 0.0;
        for (size_t frame = 0; frame < Frames(pcm); ++frame) {
            sum += At(pcm, frame, c);
        }
        worst = std::max(worst, std::fabs(sum / double(Frames(pcm)) / 32768.0));
    }
    return worst;
}

double RmsDb(const Pcm& pcm) {
    return Db(Rms(pcm, 0, pcm.samples.size()));
}

double SoundingRmsDb(const Pcm& pcm, double belowPeakDb) {
    const double threshold = 32768.0 * std::pow(10.0, (PeakDb(pcm) - belowPeakDb) / 20.0);
    const auto loud = [threshold](int16_t sample) { return std::abs(int(sample)) >= threshold; };
    const auto first = std::find_if(pcm.samples.begin(), pcm.samples.end(), loud);
    const auto last = std::find_if(pcm.samples.rbegin(), pcm.samples.rend(), loud);
    const size_t begin = static_cast<size_t>(first - pcm.samples.begin());
    return Db(Rms(pcm, begin, std::max(begin, static_cast<size_t>(pcm.samples.rend() - last))));
}

Join MeasureJoin(const Pcm& pcm, size_t frames) {
    Join join{0.0, 0.0, 0};
    if (frames < 2 || Frames(pcm) <= frames) {
        return Join{1e9, 0.0, frames};
    }
    for (int c = 0; c < pcm.channels; ++c) {
        double sum = 0.0;
        for (size_t frame = 1; frame < frames; ++frame) {
            sum += std::abs(At(pcm, frame, c) - At(pcm, frame - 1, c));
        }
        const double step = std::abs(At(pcm, frames, c) - At(pcm, frames - 1, c));
        if (step >= join.step) {
            join = Join{step, sum / double(frames - 1), 0};
        }
    }
    for (size_t frame = frames; frame-- > 0 && SilentFrame(pcm, frame);) {
        ++join.zeroRun;
    }
    for (size_t frame = frames; frame < Frames(pcm) && SilentFrame(pcm, frame); ++frame) {
        ++join.zeroRun;
    }
    return join;
}

}  // namespace soundtest
