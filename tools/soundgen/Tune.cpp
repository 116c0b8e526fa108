#include "tools/soundgen/Tune.h"

#include "tools/soundgen/Levels.h"

#include <map>
#include <sstream>

namespace synth {

namespace {

struct Voice {
    Instrument instrument;
    int octave = 4;    // where a chord's root lies for degrees
    int pitch = 60;    // the note of an `x`
};

struct Chord {
    int root = 0;      // MIDI number in octave -1
    int intervals[9] = {0, 0, 2, 4, 5, 7, 9, 10, 12};  // by degree 1..8
};

struct Pattern {
    std::vector<Chord> chords;
    std::vector<std::pair<std::string, std::vector<std::string>>> voices;
};

class Reader {
public:
    bool Read(const std::string& text, Tune& tune, std::string& problem);

private:
    bool Line(std::istringstream& words, const std::string& keyword);
    bool InstrumentLine(std::istringstream& words);
    bool Play(std::istringstream& words);
    bool PlaceVoice(const Pattern& pattern, const std::string& name,
                    const std::vector<std::string>& tokens, int steps, int64_t first);
    bool Fail(const std::string& what) {
        error = what;
        return false;
    }

    int tempo = 120;
    int transpose = 0;
    std::map<std::string, Voice> voices;
    std::map<std::string, Pattern> patterns;
    Pattern* open = nullptr;
    int64_t stepFrames = 0;
    int64_t steps = 0;
    std::vector<Placed> notes;
    std::string error;
};

const int highest = 140;  // the highest note, a noise's fastest clock

// "C", "F#", "Bb": the pitch class, or -1; `used` says how many characters.
int PitchClass(const std::string& word, size_t& used) {
    static const int naturals[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (word.empty() || word[0] < 'A' || word[0] > 'G') {
        return -1;
    }
    int pitch = naturals[word[0] - 'A'];
    used = 1;
    if (word.size() > 1 && (word[1] == '#' || word[1] == 'b')) {
        pitch += word[1] == '#' ? 1 : -1;
        used = 2;
    }
    return (pitch + 12) % 12;
}

// "F#5": a MIDI number, or -1.
int NoteNumber(const std::string& word) {
    size_t used = 0;
    const int pitch = PitchClass(word, used);
    if (pitch < 0 || used + 1 != word.size() || word[used] < '0' || word[used] > '8') {
        return -1;
    }
    return (word[used] - '0' + 1) * 12 + pitch;
}

bool ReadChord(const std::string& word, Chord& chord) {
    size_t used = 0;
    chord.root = PitchClass(word, used);
    const std::string quality = word.substr(used);
    static const std::map<std::string, std::vector<int>> qualities = {
        // third, fifth, seventh
        {"", {4, 7, 10}}, {"m", {3, 7, 10}}, {"7", {4, 7, 10}}, {"m7", {3, 7, 10}},
        {"maj7", {4, 7, 11}}, {"dim", {3, 6, 9}}, {"sus", {5, 7, 10}},
    };
    const auto found = qualities.find(quality);
    if (chord.root < 0 || found == qualities.end()) {
        return false;
    }
    chord.intervals[3] = found->second[0];
    chord.intervals[5] = found->second[1];
    chord.intervals[7] = found->second[2];
    return true;
}

bool Number(std::istringstream& words, int& value) {
    return static_cast<bool>(words >> value);
}

bool Reader::InstrumentLine(std::istringstream& words) {
    std::string name, wave;
    if (!(words >> name >> wave)) {
        return Fail("an instrument needs a name and a wave");
    }
    static const std::map<std::string, std::pair<Wave, int>> waves = {
        {"pulse12", {Wave::Pulse, 1}}, {"pulse25", {Wave::Pulse, 2}}, {"pulse50", {Wave::Pulse, 4}},
        {"triangle", {Wave::Triangle, 0}}, {"noise", {Wave::Noise, 0}}, {"metal", {Wave::Metal, 0}},
    };
    const auto kind = waves.find(wave);
    if (kind == waves.end()) {
        return Fail("no wave called '" + wave + "'");
    }
    Voice voice;
    Instrument& in = voice.instrument;
    in.wave = kind->second.first;
    in.duty = kind->second.second;
    struct Setting {
        int* value;
        int least;
        int most;
    };
    const std::map<std::string, Setting> settings = {
        // name         value                  least  most
        {"volume",    {&in.volume,              0,   100}},
        {"pan",       {&in.pan,              -100,   100}},
        {"attack",    {&in.attackMs,            0, 10000}},
        {"decay",     {&in.decayMs,             0, 10000}},
        {"sustain",   {&in.sustain,             0,   100}},
        {"release",   {&in.releaseMs,           0, 10000}},
        {"vibrato",   {&in.vibratoCents,        0,   100}},
        {"rate",      {&in.vibratoTenthsHz,     1,   200}},
        {"delay",     {&in.vibratoDelayMs,      0, 10000}},
        {"slide",     {&in.slideSemitones,    -48,    48}},
        {"slidetime", {&in.slideMs,             0, 10000}},
        {"octave",    {&voice.octave,           0,     8}},
    };
    std::string key;
    while (words >> key) {
        if (key == "pitch") {
            std::string note;
            words >> note;
            // A note's name, or its MIDI number where a noise's clock lies
            // above the names' octaves (136 hisses).
            const bool number = !note.empty() && note.find_first_not_of("0123456789") == std::string::npos;
            voice.pitch = number && note.size() < 4 ? std::stoi(note) : NoteNumber(note);
            if (voice.pitch < 0 || voice.pitch > highest) {
                return Fail("'" + note + "' is not a note");
            }
            continue;
        }
        const auto setting = settings.find(key);
        if (setting == settings.end() || !Number(words, *setting->second.value)) {
            return Fail("'" + key + "' is not a setting with a number");
        }
        const Setting& range = setting->second;
        if (*range.value < range.least || *range.value > range.most) {
            return Fail(key + " goes from " + std::to_string(range.least) + " to " + std::to_string(range.most));
        }
    }
    voices[name] = voice;
    return true;
}

bool Reader::Play(std::istringstream& words) {
    if (tempo < 30 || tempo > 300) {
        return Fail("a tempo from 30 to 300 beats a minute");
    }
    stepFrames = int64_t(musicRate) * 15 / tempo;  // a sixteenth
    std::string name;
    while (words >> name) {
        const auto pattern = patterns.find(name);
        if (pattern == patterns.end()) {
            return Fail("no pattern called '" + name + "'");
        }
        size_t length = 1;
        for (const auto& line : pattern->second.voices) {
            length = std::max(length, line.second.size());
        }
        for (const auto& line : pattern->second.voices) {
            if (!PlaceVoice(pattern->second, line.first, line.second, static_cast<int>(length), steps)) {
                return false;
            }
        }
        steps += static_cast<int64_t>(length);
    }
    return true;
}

// The note a step's token starts, before transposing: false if the token
// is none of a note, a chord's degree (with ' an octave up, , down) or x.
bool TokenNote(const std::string& token, const Voice& voice, const Chord* chord, int& note) {
    if (token == "x") {
        note = voice.pitch;
        return true;
    }
    if (token[0] >= '1' && token[0] <= '8' && chord != nullptr) {
        note = (voice.octave + 1) * 12 + chord->root + chord->intervals[token[0] - '0'];
        for (size_t i = 1; i < token.size(); ++i) {
            if (token[i] != '\'' && token[i] != ',') {
                return false;
            }
            note += token[i] == '\'' ? 12 : -12;
        }
        return true;
    }
    note = NoteNumber(token);
    return note >= 0;
}

bool Reader::PlaceVoice(const Pattern& pattern, const std::string& name,
                        const std::vector<std::string>& tokens, int length, int64_t first) {
    const auto found = voices.find(name);
    if (found == voices.end()) {
        return Fail("no instrument called '" + name + "'");
    }
    const size_t chords = pattern.chords.size();
    if (length % tokens.size() != 0 || (chords > 0 && length % chords != 0)) {
        return Fail(name + ": its steps and the chords must divide the pattern's " +
                    std::to_string(length) + " steps");
    }
    const Voice& voice = found->second;
    const size_t none = static_cast<size_t>(-1);
    size_t sounding = none;
    for (int step = 0; step < length; ++step) {
        const std::string& token = tokens[step % tokens.size()];
        if (token == "-" && sounding != none) {
            notes[sounding].gate += static_cast<int>(stepFrames);
            continue;
        }
        sounding = none;
        if (token == "." || token == "-") {
            continue;
        }
        const Chord* chord = chords > 0 ? &pattern.chords[step * chords / length] : nullptr;
        int note = 0;
        if (!TokenNote(token, voice, chord, note)) {
            return Fail(name + ": '" + token + "' is not a note, a chord's degree, x, - or .");
        }
        if (token != "x") {
            note += transpose;
        }
        if (note < 0 || note > highest) {
            return Fail(name + ": '" + token + "' is out of the notes' range");
        }
        sounding = notes.size();
        notes.push_back(Placed{voice.instrument, note, (first + step) * stepFrames,
                               static_cast<int>(stepFrames)});
    }
    return true;
}

bool Reader::Line(std::istringstream& words, const std::string& keyword) {
    if (keyword == "tempo") {
        return Number(words, tempo) || Fail("tempo needs a number");
    }
    if (keyword == "transpose") {
        return (Number(words, transpose) && transpose >= -24 && transpose <= 24) ||
               Fail("transpose needs a number of semitones from -24 to 24");
    }
    if (keyword == "instrument") {
        return InstrumentLine(words);
    }
    if (keyword == "pattern") {
        std::string name;
        words >> name;
        open = &patterns[name];
        return !name.empty() || Fail("a pattern needs a name");
    }
    if (keyword == "end") {
        open = nullptr;
        return true;
    }
    if (keyword == "play") {
        return Play(words);
    }
    if (open == nullptr) {
        return Fail("'" + keyword + "' outside a pattern");
    }
    std::vector<std::string> tokens;
    for (std::string token; words >> token;) {
        if (token != "|") {
            tokens.push_back(token);
        }
    }
    if (keyword == "chords") {
        for (const std::string& token : tokens) {
            Chord chord;
            if (!ReadChord(token, chord)) {
                return Fail("'" + token + "' is not a chord");
            }
            open->chords.push_back(chord);
        }
        return true;
    }
    if (tokens.empty()) {
        return Fail(keyword + ": no steps");
    }
    // A voice written on several lines goes on where it left off.
    for (auto& line : open->voices) {
        if (line.first == keyword) {
            line.second.insert(line.second.end(), tokens.begin(), tokens.end());
            return true;
        }
    }
    open->voices.emplace_back(keyword, tokens);
    return true;
}

// A comment starts at a # that begins a word (F#5 is a note).
std::string WithoutComment(const std::string& line) {
    for (size_t at = line.find('#'); at != std::string::npos; at = line.find('#', at + 1)) {
        if (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t') {
            return line.substr(0, at);
        }
    }
    return line;
}

bool Reader::Read(const std::string& text, Tune& tune, std::string& problem) {
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::istringstream words(WithoutComment(line));
        std::string keyword;
        if ((words >> keyword) && !Line(words, keyword)) {
            problem = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    if (steps == 0) {
        problem = "nothing to play (no play line)";
        return false;
    }
    tune.notes = notes;
    tune.frames = steps * stepFrames;
    return true;
}

}  // namespace

bool ReadTune(const std::string& text, Tune& tune, std::string& problem) {
    return Reader().Read(text, tune, problem);
}

}  // namespace synth
