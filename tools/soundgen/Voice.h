#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

enum class Wave {
    Pulse,     // a square or narrower pulse, `duty` eighths high
    Triangle,  // sixteen steps up and down, as the old sound chips made it
    Noise,     // a 15-bit shift register, hiss
    Metal,     // the same register on its short loop, a ringing buzz
};

// How an instrument sounds: its wave, loudness and place, its envelope and
// its pitch's movement. Times are milliseconds; a note is a MIDI number
// (60 is middle C); the noises take their clock from the note.
struct Instrument {
    Wave wave = Wave::Pulse;
    int duty = 4;            // 1, 2 or 4 eighths: 12.5, 25 or 50 %
    int volume = 100;        // percent
    int pan = 0;             // -100 left .. 100 right
    int attackMs = 2;
    int decayMs = 0;         // from the top to the sustain level
    int sustain = 100;       // percent of the top, held while the note lasts
    int releaseMs = 30;      // from wherever it is to silence after the note
    int vibratoCents = 0;    // depth either side
    int vibratoTenthsHz = 55;
    int vibratoDelayMs = 0;
    int slideSemitones = 0;  // the pitch moves this far ...
    int slideMs = 0;         // ... in this long from the note's start
};

int Samples(int ms, int rate);

// Phase step per sample of a note, 32 fraction bits.
uint64_t Increment(int note, int rate);

// One note at `rate` samples a second: `gate` samples held, then the release, mono, at most about
// +-30000 before `volume` scales it.
std::vector<int32_t> RenderNote(const Instrument& instrument, int note, int gate, int rate);

}  // namespace synth
