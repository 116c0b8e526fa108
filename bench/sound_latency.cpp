// From an effect's start in the tick to its first sample in what OpenAL Soft
// writes: the real engine on its wave output, an effect started again and
// again at random moments of a 60 Hz update loop. Each start is placed on
// two clocks: the device's own (ALC_SOFT_device_clock: how much the mixer
// has mixed), which gives the engine's and the mixer's share, and the
// monotonic clock from the device's opening, which also holds how far the
// wave output mixes ahead of real time (it mixes each period as it begins,
// so this one may be negative).
//   sound_latency EFFECT.wav CAPTURE.wav [STARTS]   prints p50, p90, p99, max in ms
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <AL/alc.h>
#include <AL/alext.h>

#include "se/WavFile.h"
#include "se/ZSoundEngineOpenAL.h"

namespace {

using Clock = std::chrono::steady_clock;

const int rate = 44100;
const double tickMs = 1000.0 / 60.0;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The mixer's position in the output, in ms.
double DeviceMs() {
    static const auto clock = reinterpret_cast<LPALCGETINTEGER64VSOFT>(
        alcGetProcAddress(nullptr, "alcGetInteger64vSOFT"));
    ALCint64SOFT ns = 0;
    if (clock != nullptr) {
        clock(alcGetContextsDevice(alcGetCurrentContext()), ALC_DEVICE_CLOCK_SOFT, 1, &ns);
    }
    return static_cast<double>(ns) / 1e6;
}

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    auto at = [&](double share) { return ms[static_cast<size_t>(share * static_cast<double>(ms.size() - 1))]; };
    std::printf("%s: starts %zu  p50 %.1f ms  p90 %.1f ms  p99 %.1f ms  max %.1f ms\n", what, ms.size(),
                at(0.5), at(0.9), at(0.99), ms.back());
}

void Tick(se::ZSoundEngineOpenAL& engine) {
    engine.Update();
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int>(tickMs * 1000)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: sound_latency EFFECT.wav CAPTURE.wav [STARTS]\n", stderr);
        return 2;
    }
    const std::string capture = argv[2];
    const int starts = argc > 3 ? std::atoi(argv[3]) : 30;
    const std::string conf = capture + ".conf";
    FILE* const out = std::fopen(conf.c_str(), "w");
    std::fprintf(out, "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\ndither=false\nfrequency=%d\n"
                      "[wave]\nfile=%s\n", rate, capture.c_str());
    std::fclose(out);
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);

    std::vector<double> startedMs;
    std::vector<double> mixedMs;
    {
        const Clock::time_point opened = Clock::now();
        se::ZSoundEngineOpenAL engine;
        if (!engine.LoadSoundFile(0, argv[1])) {
            return 1;
        }
        std::mt19937 random(7);
        for (int i = 0; i < starts; ++i) {
            const int ticks = 40 + static_cast<int>(random() % 20);  // the effect has ended
            for (int t = 0; t < ticks; ++t) {
                Tick(engine);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 16000));
            startedMs.push_back(Ms(Clock::now() - opened));
            mixedMs.push_back(DeviceMs());
            engine.PlaySound(0, 1.0f, false);
        }
        for (int t = 0; t < 30; ++t) {
            Tick(engine);
        }
    }
    se::WavSound effect;
    se::WavSound heard;
    std::string error;
    if (!se::ReadWavFile(argv[1], effect, error) || !se::ReadWavFile(capture, heard, error)) {
        std::fprintf(stderr, "sound_latency: %s: %s\n", capture.c_str(), error.c_str());
        return 1;
    }
    const size_t effectFrames = effect.samples.size() / static_cast<size_t>(effect.channels) *
                                static_cast<size_t>(rate) / static_cast<size_t>(effect.rate);
    std::vector<double> latencies;
    std::vector<double> afterMix;
    size_t from = 0;
    for (size_t i = 0; i < startedMs.size(); ++i) {
        const double started = startedMs[i];
        size_t at = from;
        at = std::min(at, heard.samples.size());
        while (at < heard.samples.size() && heard.samples[at] == 0) {
            ++at;
        }
        if (at == heard.samples.size()) {
            std::fputs("sound_latency: an effect was not heard\n", stderr);
            return 1;
        }
        const double heardMs = static_cast<double>(at / 2) * 1000.0 / rate;
        latencies.push_back(heardMs - started);
        afterMix.push_back(heardMs - mixedMs[i]);
        // Past this effect's sound, as long as it lasts in the output.
        from = at + effectFrames * 2;
    }
    Print("after the mixer's position (device clock)", afterMix);
    Print("after the start (monotonic clock from the device's opening)", latencies);
    return 0;
}
