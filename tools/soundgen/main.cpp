// Makes every sound of the game's list (app/sounds.txt): each effect as a
// mono WAV file, each piece of music as a stereo WAV file for the encoder.
// The output depends on nothing but this program's sources and the music's
// texts.
//   soundgen SOUND_LIST MUSIC_FOLDER EFFECT_FOLDER PCM_FOLDER
#include "tools/soundgen/Effects.h"
#include "tools/soundgen/Levels.h"
#include "tools/soundgen/Tune.h"
#include "tools/soundgen/Wav.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Folders {
    std::string music;
    std::string effects;
    std::string pcm;
};

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    text = bytes.str();
    return static_cast<bool>(file);
}

std::string Stem(const std::string& file) {
    return file.substr(0, file.rfind('.'));
}

bool MakeEffect(const std::string& name, const std::string& file, const Folders& folders) {
    std::vector<int32_t> samples;
    if (!synth::RenderEffect(name, samples)) {
        std::fprintf(stderr, "soundgen: no recipe for the effect %s (tools/soundgen/Effects.cpp)\n", name.c_str());
        return false;
    }
    const std::string wav = synth::EncodeWav(synth::MasterEffect(samples), 1, synth::effectRate);
    return synth::WriteBytes(folders.effects + "/" + file, wav);
}

bool MakeMusic(const std::string& name, const std::string& file, bool loop, const Folders& folders) {
    const std::string source = folders.music + "/" + Stem(file) + ".txt";
    std::string text;
    if (!ReadText(source, text)) {
        std::fprintf(stderr, "soundgen: no recipe for the music %s: cannot read %s\n", name.c_str(),
                     source.c_str());
        return false;
    }
    synth::Tune tune;
    std::string problem;
    if (!synth::ReadTune(text, tune, problem)) {
        std::fprintf(stderr, "soundgen: %s: %s\n", source.c_str(), problem.c_str());
        return false;
    }
    const std::vector<int32_t> mix = synth::Mix(tune.notes, tune.frames, 2, loop, synth::musicRate);
    const std::string wav = synth::EncodeWav(synth::MasterMusic(mix), 2, synth::musicRate);
    return synth::WriteBytes(folders.pcm + "/" + Stem(file) + ".wav", wav);
}

// One row of the list: kind, name, file, play; comments and blank lines
// pass. The build has checked the rows' form already.
bool MakeRow(const std::string& line, const Folders& folders) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string kind, name, file, play;
    if (!(words >> kind)) {
        return true;
    }
    if (!(words >> name >> file >> play)) {
        std::fprintf(stderr, "soundgen: not a row of kind, name, file and play: '%s'\n", line.c_str());
        return false;
    }
    if (kind == "effect") {
        return MakeEffect(name, file, folders);
    }
    if (kind == "music") {
        return MakeMusic(name, file, play == "loop", folders);
    }
    std::fprintf(stderr, "soundgen: no kind of sound called '%s'\n", kind.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: soundgen SOUND_LIST MUSIC_FOLDER EFFECT_FOLDER PCM_FOLDER\n");
        return 1;
    }
    const Folders folders{argv[2], argv[3], argv[4]};
    std::string list;
    if (!ReadText(argv[1], list)) {
        std::fprintf(stderr, "soundgen: cannot read %s\n", argv[1]);
        return 1;
    }
    std::istringstream lines(list);
    for (std::string line; std::getline(lines, line);) {
        if (!MakeRow(line, folders)) {
            return 1;
        }
    }
    return 0;
}
