// What a player heard, from OpenAL Soft's wave output of the real game:
//   hear_capture CAPTURE.wav silent [SECONDS]
//       passes when every sample is 0 (of the last SECONDS only, if given);
//   hear_capture CAPTURE.wav EFFECT.wav... -- TRACK.mp3...
//       passes when each effect is found in the capture in the order given
//       (by normalized cross-correlation with the effect's own samples, at
//       least a tenth of a second after the one before it), and when the tracks are heard in
//       the order given (each second of the capture matched against every
//       track, the best match taken). Prints what it found and how loud.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/tools/SoundMeasures.h"

namespace {

using Signal = std::vector<double>;
using Spectrum = std::vector<std::complex<double>>;

const int rate = 44100;
// Music is matched at a quarter of the rate: its notes are far below 5 kHz.
const int musicStep = 4;
const double effectMatch = 0.6;
const double musicMatch = 0.5;

bool Fail(const std::string& what) {
    std::fprintf(stderr, "hear_capture: %s\n", what.c_str());
    return false;
}

// Channels mixed down and resampled to `rate`, linearly as OpenAL Soft's
// default resampler does.
Signal Mono(const soundtest::Pcm& pcm) {
    const size_t frames = soundtest::Frames(pcm);
    Signal out(frames * rate / static_cast<size_t>(pcm.rate));
    auto at = [&](size_t frame) {
        double sum = 0;
        for (int c = 0; c < pcm.channels; ++c) sum += pcm.samples[frame * pcm.channels + c] / 32768.0;
        return sum;
    };
    for (size_t i = 0; i < out.size(); ++i) {
        const double x = static_cast<double>(i) * pcm.rate / rate;
        const size_t j = std::min(static_cast<size_t>(x), frames - 1);
        out[i] = at(j) + (at(std::min(j + 1, frames - 1)) - at(j)) * (x - static_cast<double>(j));
    }
    return out;
}

// A WAV file or a whole MP3 as the game's own engine reads it.
bool Read(const std::string& path, Signal& out) {
    std::string problem;
    const bool music = path.size() > 4 && path.compare(path.size() - 4, 4, ".mp3") == 0;
    const soundtest::Pcm pcm = music ? soundtest::DecodeMusic(path, false, 0, problem)
                                     : soundtest::ReadWav(path, problem);
    if (soundtest::Frames(pcm) == 0) {
        return Fail(path + ": " + (problem.empty() ? "no sound" : problem));
    }
    out = Mono(pcm);
    return true;
}

void Fft(Spectrum& a, bool inverse) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = 2 * M_PI / static_cast<double>(len) * (inverse ? 1 : -1);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (size_t k = 0; k < len / 2; ++k, w *= step) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

// ncc[t]: how closely haystack[t, t + needle) follows the needle, -1..1.
Signal Correlate(const Signal& haystack, const Signal& needle) {
    size_t n = 1;
    while (n < haystack.size() + needle.size()) n <<= 1;
    Spectrum h(n), e(n);
    std::copy(haystack.begin(), haystack.end(), h.begin());
    std::copy(needle.begin(), needle.end(), e.begin());
    Fft(h, false);
    Fft(e, false);
    for (size_t i = 0; i < n; ++i) h[i] *= std::conj(e[i]);
    Fft(h, true);
    double needleEnergy = 0;
    for (double s : needle) needleEnergy += s * s;
    Signal ncc(haystack.size() >= needle.size() ? haystack.size() - needle.size() + 1 : 0);
    double window = 0;
    for (size_t i = 0; i < needle.size() && i < haystack.size(); ++i) window += haystack[i] * haystack[i];
    for (size_t t = 0; t < ncc.size(); ++t) {
        const double scale = std::sqrt(window * needleEnergy);
        ncc[t] = scale > 1e-9 ? h[t].real() / static_cast<double>(n) / scale : 0.0;
        window += (t + needle.size() < haystack.size() ? std::pow(haystack[t + needle.size()], 2) : 0) -
                  std::pow(haystack[t], 2);
    }
    return ncc;
}

double Db(const Signal& s, size_t from, size_t count) {
    double sum = 0;
    count = std::min(count, s.size() - std::min(from, s.size()));
    for (size_t i = from; i < from + count; ++i) sum += s[i] * s[i];
    return count > 0 && sum > 0 ? 10 * std::log10(sum / static_cast<double>(count)) : -200.0;
}

Signal Decimate(const Signal& s) {
    Signal out(s.size() / musicStep);
    for (size_t i = 0; i < out.size(); ++i) {
        for (int k = 0; k < musicStep; ++k) out[i] += s[i * musicStep + k] / musicStep;
    }
    return out;
}

// Matched at a quarter of the rate, as the music is: above the effects' own
// band, resamplers differ (OpenAL Soft's keeps less of the images).
bool FindEffects(const Signal& capture, const std::vector<std::string>& paths) {
    const Signal coarse = Decimate(capture);
    const size_t tenth = rate / musicStep / 10;
    size_t from = 0;
    for (const std::string& path : paths) {
        Signal effect;
        if (!Read(path, effect)) return false;
        const Signal needle = Decimate(effect);
        const Signal ncc = Correlate(coarse, needle);
        // The best match within a tenth of a second of the first good one.
        size_t at = from;
        while (at < ncc.size() && ncc[at] < effectMatch) ++at;
        const size_t end = std::min(ncc.size(), at + tenth);
        if (at < end) at = static_cast<size_t>(std::max_element(ncc.begin() + at, ncc.begin() + end) - ncc.begin());
        if (at >= ncc.size()) {
            const double best = ncc.size() > from ? *std::max_element(ncc.begin() + from, ncc.end()) : 0.0;
            return Fail(path + " is not heard after " + std::to_string(from * musicStep / static_cast<double>(rate)) +
                        " s (best match " + std::to_string(best) + ")");
        }
        const size_t sample = at * musicStep;
        std::printf("effect %s at %.3f s, match %.2f, %.1f dB (the second before it %.1f dB)\n", path.c_str(),
                    static_cast<double>(sample) / rate, ncc[at], Db(capture, sample, effect.size()),
                    Db(capture, sample > static_cast<size_t>(rate) ? sample - rate : 0,
                       std::min<size_t>(sample, rate)));
        // The next effect starts later; it may start before this one ends.
        from = at + std::min(needle.size(), tenth);
    }
    return true;
}

// The track each second of the capture matches best, in order, runs merged.
bool HearMusic(const Signal& capture, const std::vector<std::string>& paths) {
    std::vector<Signal> tracks;
    for (const std::string& path : paths) {
        Signal track;
        if (!Read(path, track)) return false;
        Signal twice = Decimate(track);
        twice.insert(twice.end(), twice.begin(), twice.end());
        tracks.push_back(twice);
    }
    const Signal coarse = Decimate(capture);
    const size_t second = rate / musicStep;
    std::vector<size_t> heard;
    for (size_t at = 0; at + second <= coarse.size(); at += second) {
        const Signal window(coarse.begin() + at, coarse.begin() + at + second);
        size_t best = tracks.size();
        double bestMatch = musicMatch;
        for (size_t i = 0; i < tracks.size(); ++i) {
            const Signal ncc = Correlate(tracks[i], window);
            const double match = ncc.empty() ? 0.0 : *std::max_element(ncc.begin(), ncc.end());
            if (match > bestMatch) {
                bestMatch = match;
                best = i;
            }
        }
        std::printf("second %zu: %s\n", at / second, best < tracks.size() ? paths[best].c_str() : "-");
        if (best < tracks.size() && (heard.empty() || heard.back() != best)) heard.push_back(best);
    }
    size_t next = 0;
    for (size_t track : heard) {
        if (next < paths.size() && track == next) ++next;
    }
    return next == paths.size() || Fail("the music was not heard in order: " + paths[next] + " missing");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: hear_capture CAPTURE.wav silent | EFFECT.wav... -- TRACK.mp3...\n", stderr);
        return 2;
    }
    Signal capture;
    if (!Read(argv[1], capture)) return 1;
    if (std::strcmp(argv[2], "silent") == 0) {
        const size_t tail = argc > 3 ? static_cast<size_t>(std::atof(argv[3]) * rate) : capture.size();
        if (tail > capture.size()) return Fail("the capture is shorter than " + std::string(argv[3]) + " s");
        const size_t loud = static_cast<size_t>(std::count_if(capture.end() - static_cast<long>(tail), capture.end(),
                                                              [](double s) { return s != 0.0; }));
        std::printf("%zu of the last %zu samples are not silent\n", loud, tail);
        return loud == 0 ? 0 : 1;
    }
    std::vector<std::string> effects, music;
    bool afterSeparator = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) afterSeparator = true;
        else (afterSeparator ? music : effects).push_back(argv[i]);
    }
    return FindEffects(capture, effects) && HearMusic(capture, music) ? 0 : 1;
}
