#include "tools/soundgen/Voice.h"

#include <algorithm>

namespace synth {

namespace {

// C9 to B9 (MIDI 120 to 131) in millihertz, equal temperament from A at 440.
const uint64_t topOctaveMilliHz[12] = {
    8372018, 8869844, 9397273, 9956063, 10548082, 11175303,
    11839822, 12543854, 13289750, 14080000, 14917240, 15804266,
};

const int unit = 65536;  // the envelope's and the ratios' 1.0

// The envelope's level at sample t, 0..unit.
int64_t Envelope(const Instrument& instrument, int64_t t, int64_t gate, int rate) {
    const int64_t attack = Samples(instrument.attackMs, rate) + 1;
    const int64_t decay = Samples(instrument.decayMs, rate) + 1;
    const int64_t sustain = int64_t(unit) * instrument.sustain / 100;
    const auto held = [&](int64_t s) {
        if (s < attack) {
            return unit * s / attack;
        }
        if (s < attack + decay) {
            return unit - (unit - sustain) * (s - attack) / decay;
        }
        return sustain;
    };
    if (t < gate) {
        return held(t);
    }
    const int64_t release = Samples(instrument.releaseMs, rate) + 1;
    const int64_t from = held(gate);
    return t - gate >= release ? 0 : from * (release - (t - gate)) / release;
}

// A triangle from -32768 to 32767 over `period` samples.
int64_t Lfo(int64_t t, int64_t period) {
    const int64_t at = t % period;
    const int64_t half = period / 2;
    const int64_t rise = at < half ? at : period - at;
    return rise * 65535 / (half > 0 ? half : 1) - 32768;
}

// The phase step at sample t, with the slide and the vibrato.
uint64_t StepAt(const Instrument& instrument, int note, int64_t t, int rate) {
    int64_t step = static_cast<int64_t>(Increment(note, rate));
    if (instrument.slideSemitones != 0) {
        const int64_t target = static_cast<int64_t>(Increment(note + instrument.slideSemitones, rate));
        const int64_t length = Samples(instrument.slideMs, rate) + 1;
        step += (target - step) * (t < length ? t : length) / length;
    }
    const int64_t delay = Samples(instrument.vibratoDelayMs, rate);
    if (instrument.vibratoCents != 0 && t >= delay) {
        // One cent is a ratio of about 1 + 1/1731.
        const int64_t depth = int64_t(instrument.vibratoCents) * unit / 1731;
        const int64_t period = int64_t(rate) * 10 / instrument.vibratoTenthsHz;
        step += (step >> 16) * depth * Lfo(t - delay, period) / 32768;
    }
    return static_cast<uint64_t>(step);
}

// Shift registers as the old chips clocked them: bit 0 is the output.
class NoiseRegister {
public:
    explicit NoiseRegister(bool shortLoop) : tap(shortLoop ? 6 : 1) {}
    void Clock() {
        const unsigned feedback = (bits ^ (bits >> tap)) & 1u;
        bits = (bits >> 1) | (feedback << 14);
    }
    int32_t Out() const { return (bits & 1u) ? 16384 : -16384; }

private:
    const unsigned tap;
    unsigned bits = 0x2b5d;  // inside the sequence, away from its long runs
};

int32_t Tone(const Instrument& instrument, uint32_t phase) {
    if (instrument.wave == Wave::Pulse) {
        const int duty = instrument.duty;
        // High and low parts balanced so that the wave has no DC.
        return static_cast<int32_t>(phase >> 29) < duty ? (8 - duty) * 4096 : -duty * 4096;
    }
    const int step = static_cast<int>(phase >> 27);  // 0..31
    const int level = step < 16 ? step : 31 - step;
    return (2 * level - 15) * 2048;
}

}  // namespace

int Samples(int ms, int rate) {
    return static_cast<int>(int64_t(ms) * rate / 1000);
}

uint64_t Increment(int note, int rate) {
    note = std::max(0, std::min(note, 143));
    int shift = 0;
    while (note < 120) {
        note += 12;
        ++shift;
    }
    while (note > 131) {
        note -= 12;
        --shift;
    }
    const uint64_t step = (topOctaveMilliHz[note - 120] << 32) / (uint64_t(rate) * 1000);
    return shift >= 0 ? step >> shift : step << -shift;
}

std::vector<int32_t> RenderNote(const Instrument& instrument, int note, int gate, int rate) {
    const int64_t length = gate + Samples(instrument.releaseMs, rate) + 1;
    std::vector<int32_t> out(static_cast<size_t>(length));
    std::vector<int64_t> envelope(out.size());
    const bool noise = instrument.wave == Wave::Noise || instrument.wave == Wave::Metal;
    NoiseRegister shifter(instrument.wave == Wave::Metal);
    uint64_t phase = 0;
    int64_t sum = 0;
    int64_t weight = 0;
    for (int64_t t = 0; t < length; ++t) {
        const uint64_t next = phase + StepAt(instrument, note, t, rate);
        int64_t value = 0;
        if (noise) {
            for (uint64_t clocks = (next >> 32) - (phase >> 32); clocks > 0; --clocks) {
                shifter.Clock();
            }
            value = shifter.Out();
            phase = next & 0xffffffffu;
        } else {
            value = Tone(instrument, static_cast<uint32_t>(phase));
            phase = next;
        }
        const size_t i = static_cast<size_t>(t);
        envelope[i] = Envelope(instrument, t, gate, rate);
        out[i] = static_cast<int32_t>(value * envelope[i] / unit * instrument.volume / 100);
        sum += out[i];
        weight += envelope[i];
    }
    // A short burst of noise or a sliding pulse leans to one side: taking
    // its mean away in the envelope's shape leaves no DC and no step.
    for (size_t i = 0; weight > 0 && i < out.size(); ++i) {
        out[i] -= static_cast<int32_t>(sum * envelope[i] / weight);
    }
    return out;
}

}  // namespace synth
