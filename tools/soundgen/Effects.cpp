#include "tools/soundgen/Effects.h"

#include "tools/soundgen/Levels.h"
#include "tools/soundgen/Mix.h"

#include <map>

namespace synth {

namespace {

const Wave P = Wave::Pulse;
const Wave T = Wave::Triangle;
const Wave N = Wave::Noise;
const Wave M = Wave::Metal;

// One note of an effect. Times in milliseconds; a pulse's duty in eighths;
// notes are MIDI numbers (60 is middle C; a noise's note is its clock, 136
// hisses, 90 rumbles); the slide in semitones over `slideMs`; sustain and
// volume in percent; vibrato in cents either side, at `rate` tenths of a Hz.
struct Row {
    int start, gate;
    Wave wave;
    int duty, note, slide, slideMs, attack, decay, sustain, release, vibrato, rate, volume;
};

using Recipe = std::vector<Row>;

const std::map<std::string, Recipe> recipes = {
    // start gate wave duty note slide slideMs attack decay sustain release vibrato rate volume
    {"Button", {  // a short bright blip
        {0,    25,  P, 2, 81,   0,   0,  1,  30,  60, 15, 0, 55, 100},
        {25,   35,  P, 2, 88,   0,   0,  1,  40,   0, 25, 0, 55, 90},
    }},
    {"Strike", {  // the blade's swish, then the clang
        {0,   110,  N, 0, 118,  16, 110, 40,  70,   0, 20, 0, 55, 70},
        {100,  40,  M, 0, 112,  -4, 200,  1, 260,   0, 90, 0, 55, 100},
        {100,  60,  P, 1, 98,   -1, 250,  1, 280,   0, 90, 0, 55, 45},
    }},
    {"Struck", {  // a thud and a grunt
        {0,   100,  T, 0, 45,  -18, 120,  1, 140,   0, 40, 0, 55, 100},
        {0,    50,  N, 0, 100, -20,  80,  1,  70,   0, 30, 0, 55, 80},
        {60,  160,  P, 2, 55,   -6, 160,  8, 100,  50, 60, 30, 70, 60},
    }},
    {"MonsterFalls", {  // a sinking wail and the body hitting the ground
        {0,   420,  P, 1, 76,  -28, 420,  2,   0, 100, 60, 40, 90, 80},
        {430, 120,  T, 0, 40,  -12, 150,  1, 180,   0, 60, 0, 55, 100},
        {430,  80,  N, 0, 96,  -12, 120,  1, 120,   0, 40, 0, 55, 70},
    }},
    {"Gold", {  // a coin: two bright notes, the second ringing
        {0,    70,  P, 2, 83,   0,   0,  1,   0, 100,  5, 0, 55, 90},
        {70,  330,  P, 2, 88,   0,   0,  1, 380,   0, 80, 0, 55, 100},
    }},
    {"Potion", {  // three gulps and a sparkle
        {0,    90,  T, 0, 52,   9,  90,  6,   0, 100, 30, 0, 55, 100},
        {140,  90,  T, 0, 54,   9,  90,  6,   0, 100, 30, 0, 55, 100},
        {280,  90,  T, 0, 56,   9,  90,  6,   0, 100, 30, 0, 55, 100},
        {440,  50,  P, 1, 84,   0,   0,  1,  50,  30, 30, 0, 55, 70},
        {490,  50,  P, 1, 88,   0,   0,  1,  50,  30, 30, 0, 55, 70},
        {540,  50,  P, 1, 91,   0,   0,  1,  50,  30, 30, 0, 55, 70},
        {590, 180,  P, 1, 96,   0,   0,  1, 250,   0, 90, 15, 80, 70},
    }},
    {"Purchase", {  // the till's drawer and a rising chord
        {0,    30,  M, 0, 120,  0,   0,  1,  50,   0, 30, 0, 55, 90},
        {70,   30,  M, 0, 122,  0,   0,  1,  50,   0, 30, 0, 55, 90},
        {140,  60,  P, 2, 84,   0,   0,  1,   0, 100, 20, 0, 55, 80},
        {200,  60,  P, 2, 88,   0,   0,  1,   0, 100, 20, 0, 55, 80},
        {260,  60,  P, 2, 91,   0,   0,  1,   0, 100, 20, 0, 55, 80},
        {320, 260,  P, 2, 96,   0,   0,  1, 300,   0, 80, 10, 60, 90},
    }},
    {"Refused", {  // a low, sour double buzz
        {0,   140,  P, 4, 45,   0,   0,  2,   0, 100, 30, 0, 55, 90},
        {0,   140,  P, 1, 51,   0,   0,  2,   0, 100, 30, 0, 55, 60},
        {200, 260,  P, 4, 44,  -1, 260,  2,   0, 100, 60, 0, 55, 90},
        {200, 260,  P, 1, 50,  -1, 260,  2,   0, 100, 60, 0, 55, 60},
    }},
    {"DiceRoll", {  // dice tumbling in a cup, slowing, then coming to rest
        {0,    12,  M, 0, 117,  0,   0,  1,  25,   0, 10, 0, 55, 90},
        {50,   12,  N, 0, 124,  0,   0,  1,  20,   0, 10, 0, 55, 90},
        {90,   12,  M, 0, 115,  0,   0,  1,  25,   0, 10, 0, 55, 80},
        {150,  12,  N, 0, 121,  0,   0,  1,  20,   0, 10, 0, 55, 90},
        {200,  12,  M, 0, 118,  0,   0,  1,  25,   0, 10, 0, 55, 85},
        {275,  12,  N, 0, 125,  0,   0,  1,  20,   0, 10, 0, 55, 90},
        {320,  12,  M, 0, 116,  0,   0,  1,  25,   0, 10, 0, 55, 80},
        {410,  12,  N, 0, 122,  0,   0,  1,  20,   0, 10, 0, 55, 90},
        {470,  12,  M, 0, 119,  0,   0,  1,  25,   0, 10, 0, 55, 85},
        {580,  12,  N, 0, 120,  0,   0,  1,  20,   0, 10, 0, 55, 80},
        {700,  15,  M, 0, 114,  0,   0,  1,  40,   0, 15, 0, 55, 100},
        {760,  15,  M, 0, 113,  0,   0,  1,  40,   0, 15, 0, 55, 100},
    }},
    {"DiceWon", {  // a rising fanfare
        {0,    80,  P, 2, 72,   0,   0,  1,   0, 100, 20, 0, 55, 90},
        {80,   80,  P, 2, 76,   0,   0,  1,   0, 100, 20, 0, 55, 90},
        {160,  80,  P, 2, 79,   0,   0,  1,   0, 100, 20, 0, 55, 90},
        {240, 420,  P, 2, 84,   0,   0,  1, 200,  60, 150, 25, 60, 100},
        {240, 420,  T, 0, 48,   0,   0,  1,   0, 100, 150, 0, 55, 100},
    }},
    {"DiceLost", {  // a falling "wah wah wah waah"
        {0,   170,  P, 4, 67,  -1, 170,  8,   0, 100, 30, 0, 55, 80},
        {200, 170,  P, 4, 66,  -1, 170,  8,   0, 100, 30, 0, 55, 80},
        {400, 170,  P, 4, 65,  -1, 170,  8,   0, 100, 30, 0, 55, 80},
        {600, 380,  P, 4, 64,  -2, 380,  8,   0, 100, 120, 45, 60, 80},
    }},
    {"Training", {  // wooden blows on the dummy and a breath
        {0,    40,  T, 0, 62,  -12,  40,  1,  60,   0, 20, 0, 55, 100},
        {0,    25,  N, 0, 112,  0,   0,  1,  30,   0, 15, 0, 55, 70},
        {220,  40,  T, 0, 60,  -12,  40,  1,  60,   0, 20, 0, 55, 100},
        {220,  25,  N, 0, 112,  0,   0,  1,  30,   0, 15, 0, 55, 70},
        {440,  40,  T, 0, 64,  -12,  40,  1,  60,   0, 20, 0, 55, 100},
        {440,  25,  N, 0, 114,  0,   0,  1,  30,   0, 15, 0, 55, 70},
        {620, 120,  P, 2, 67,   5, 120, 10,   0, 100, 50, 0, 55, 60},
    }},
    {"Forge", {  // two ringing hammer blows on the anvil and the hiss of steam
        {0,    20,  M, 0, 124,  0,   0,  1, 150,   0, 100, 0, 55, 70},
        {0,   300,  P, 1, 100,  0,   0,  1, 500,   0, 200, 0, 55, 70},
        {0,   300,  P, 1, 107,  0,   0,  1, 400,   0, 200, 0, 55, 50},
        {350,  20,  M, 0, 123,  0,   0,  1, 150,   0, 100, 0, 55, 70},
        {350, 300,  P, 1, 99,   0,   0,  1, 500,   0, 200, 0, 55, 70},
        {350, 300,  P, 1, 106,  0,   0,  1, 400,   0, 200, 0, 55, 50},
        {700, 250,  N, 0, 135,  0,   0, 60, 250,   0, 100, 0, 55, 50},
    }},
    {"LevelUp", {  // a quick climb and a shining top note
        {0,    50,  P, 2, 72,   0,   0,  1,   0, 100, 15, 0, 55, 90},
        {50,   50,  P, 2, 76,   0,   0,  1,   0, 100, 15, 0, 55, 90},
        {100,  50,  P, 2, 79,   0,   0,  1,   0, 100, 15, 0, 55, 90},
        {150,  50,  P, 2, 84,   0,   0,  1,   0, 100, 15, 0, 55, 90},
        {200,  50,  P, 2, 88,   0,   0,  1,   0, 100, 15, 0, 55, 90},
        {250,  50,  P, 2, 91,   0,   0,  1,   0, 100, 15, 0, 55, 90},
        {300, 400,  P, 2, 96,   0,   0,  1, 300,  50, 150, 30, 70, 100},
        {300, 400,  T, 0, 60,   0,   0,  1,   0, 100, 150, 0, 55, 100},
    }},
    {"Flee", {  // running feet under a falling whoosh
        {0,    15,  N, 0, 96,   0,   0,  1,  30,   0, 10, 0, 55, 100},
        {90,   15,  N, 0, 98,   0,   0,  1,  30,   0, 10, 0, 55, 100},
        {180,  15,  N, 0, 96,   0,   0,  1,  30,   0, 10, 0, 55, 100},
        {270,  15,  N, 0, 98,   0,   0,  1,  30,   0, 10, 0, 55, 100},
        {360,  15,  N, 0, 96,   0,   0,  1,  30,   0, 10, 0, 55, 100},
        {450,  15,  N, 0, 98,   0,   0,  1,  30,   0, 10, 0, 55, 100},
        {0,   500,  P, 1, 84,  -24, 500, 20,   0, 100, 80, 0, 55, 40},
        {0,   500,  N, 0, 130, -10, 500, 80,   0, 100, 80, 0, 55, 30},
    }},
    {"DragonRoar", {  // a long, rough roar sinking as it fades
        {0,   950,  N, 0, 104, -14, 950, 120,  0, 100, 150, 80, 90, 100},
        {0,   950,  P, 1, 40,   -5, 950, 100,  0, 100, 150, 60, 130, 80},
        {0,   950,  T, 0, 33,   -3, 950, 150,  0, 100, 150, 40, 80, 100},
    }},
    {"DragonFalls", {  // a falling cry and the crash of the great body
        {0,   650,  P, 4, 62,  -30, 650, 20,   0, 100, 100, 50, 100, 70},
        {0,   650,  N, 0, 110, -20, 650, 50,   0, 100, 100, 0, 55, 40},
        {650, 100,  T, 0, 36,  -12, 200,  1, 500,   0, 200, 0, 55, 100},
        {650, 100,  N, 0, 100, -16, 500,  1, 500,   0, 200, 0, 55, 90},
    }},
    {"Defeat", {  // a slow falling minor line
        {0,   180,  P, 2, 67,   0,   0,  5,   0, 100, 50, 0, 55, 80},
        {200, 180,  P, 2, 63,   0,   0,  5,   0, 100, 50, 0, 55, 80},
        {400, 180,  P, 2, 60,   0,   0,  5,   0, 100, 50, 0, 55, 80},
        {600, 450,  P, 2, 55,  -1, 450,  5,   0, 100, 200, 25, 50, 80},
        {0,   600,  T, 0, 48,   0,   0,  5,   0, 100, 50, 0, 55, 100},
        {600, 450,  T, 0, 43,   0,   0,  5,   0, 100, 200, 0, 55, 100},
    }},
};

Instrument InstrumentOf(const Row& row) {
    Instrument instrument;
    instrument.wave = row.wave;
    instrument.duty = row.duty;
    instrument.volume = row.volume;
    instrument.attackMs = row.attack;
    instrument.decayMs = row.decay;
    instrument.sustain = row.sustain;
    instrument.releaseMs = row.release;
    instrument.vibratoCents = row.vibrato;
    instrument.vibratoTenthsHz = row.rate;
    instrument.slideSemitones = row.slide;
    instrument.slideMs = row.slideMs;
    return instrument;
}

}  // namespace

bool RenderEffect(const std::string& name, std::vector<int32_t>& samples) {
    const auto recipe = recipes.find(name);
    if (recipe == recipes.end()) {
        return false;
    }
    std::vector<Placed> notes;
    for (const Row& row : recipe->second) {
        notes.push_back(Placed{InstrumentOf(row), row.note, Samples(row.start, effectRate),
                                    Samples(row.gate, effectRate)});
    }
    samples = Mix(notes, 1, 1, false, effectRate);
    return true;
}

}  // namespace synth
