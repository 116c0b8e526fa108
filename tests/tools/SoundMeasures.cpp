#include "tests/tools/SoundMeasures.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace soundtest {

namespace {

uint32_t Little(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    }
    return value;
}

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

bool SilentFrame(const Pcm& pcm, size_t frame) {
    for (int c = 0; c < pcm.channels; ++c) {
        if (pcm.samples[frame * pcm.channels + c] != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

Pcm ReadWav(const std::string& bytes, std::string& problem) {
    Pcm pcm;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        problem = "not a RIFF WAVE file";
        return pcm;
    }
    int bits = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const size_t size = Little(bytes, at + 4, 4);
        if (size > bytes.size() - at - 8) {
            problem = id + " chunk runs past the end";
            return Pcm();
        }
        if (id == "fmt " && size >= 16) {
            pcm.channels = Little(bytes, at + 10, 2) * (Little(bytes, at + 8, 2) == 1 ? 1 : 0);
            pcm.rate = static_cast<int>(Little(bytes, at + 12, 4));
            bits = static_cast<int>(Little(bytes, at + 22, 2));
        } else if (id == "data" && pcm.channels > 0 && bits == 16) {
            pcm.samples.resize(size / 2);
            std::memcpy(pcm.samples.data(), bytes.data() + at + 8, pcm.samples.size() * 2);
            return pcm;
        }
        at += 8 + size + (size & 1);
    }
    problem = "no 16-bit PCM format before the data";
    return Pcm();
}

Pcm DecodeMp3(const std::string& path, std::string& problem) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Pcm pcm;
    mpg123_init();
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    if (bytes.empty() || decoder == nullptr || mpg123_open_feed(decoder) != MPG123_OK) {
        problem = "cannot decode " + path;
        return pcm;
    }
    std::vector<unsigned char> out(1 << 16);
    size_t produced = 0;
    int status = mpg123_decode(decoder, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                               out.data(), out.size(), &produced);
    while (status != MPG123_ERR) {
        const int16_t* samples = reinterpret_cast<const int16_t*>(out.data());
        pcm.samples.insert(pcm.samples.end(), samples, samples + produced / 2);
        if (status == MPG123_NEED_MORE || status == MPG123_DONE) {
            break;
        }
        status = mpg123_decode(decoder, nullptr, 0, out.data(), out.size(), &produced);
    }
    long rate = 0;
    int encoding = 0;
    mpg123_getformat(decoder, &rate, &pcm.channels, &encoding);
    pcm.rate = static_cast<int>(rate);
    if (status == MPG123_ERR || encoding != MPG123_ENC_SIGNED_16) {
        problem = std::string("mpg123: ") + mpg123_strerror(decoder);
        pcm = Pcm();
    }
    mpg123_delete(decoder);
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
        for (size_t frame = 0; frame < pcm.Frames(); ++frame) {
            sum += pcm.samples[frame * pcm.channels + c];
        }
        worst = std::max(worst, std::fabs(sum / double(pcm.Frames()) / 32768.0));
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

Join MeasureJoin(const Pcm& pcm) {
    Join join{0.0, 0.0, 0};
    const size_t frames = pcm.Frames();
    for (int c = 0; c < pcm.channels && frames > 1; ++c) {
        double sum = 0.0;
        for (size_t frame = 1; frame < frames; ++frame) {
            sum += std::abs(pcm.samples[frame * pcm.channels + c] - pcm.samples[(frame - 1) * pcm.channels + c]);
        }
        const double step = std::abs(pcm.samples[c] - pcm.samples[(frames - 1) * pcm.channels + c]);
        if (step >= join.step) {
            join = Join{step, sum / double(frames - 1), 0};
        }
    }
    size_t run = 0;
    while (run < frames && SilentFrame(pcm, frames - 1 - run)) {
        ++run;
    }
    for (size_t frame = 0; frame < frames && SilentFrame(pcm, frame); ++frame) {
        ++run;
    }
    join.zeroRun = std::min(run, frames);
    return join;
}

}  // namespace soundtest
