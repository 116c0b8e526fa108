// The game's sounds as a player hears them: the effects as written, the
// music decoded; and the generator's refusals. That it writes the same bytes
// from any build folder and compiler, lame's included, is the reproducible
// check's and tools.art_other_compiler's.
#include "app/SoundFiles.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/ArtImages.h"
#include "tests/tools/SoundMeasures.h"
#include "tools/soundgen/Levels.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

using arttest::BuildPath;
using namespace soundtest;

namespace {

const double effectRmsDb = synth::effectRmsTenths / 10.0;
const double musicRmsDb = synth::musicRmsTenths / 10.0;
const double decodedPeakDb = synth::decodedPeakTenths / 10.0;
const double levelTolerance = 2.0;  // dB either side of a target
const double maxDc = 0.001;

std::string Name(const SoundFile& file) {
    return std::string(file.path).substr(std::string("../sfx/").size());
}

std::string SfxPath(const std::string& name) {
    return BuildPath("sfx/" + name);
}

std::string PcmPath(const std::string& mp3) {
    return BuildPath("sfx-pcm/" + mp3.substr(0, mp3.size() - 4) + ".wav");
}

int RunCommand(const std::string& command, const std::string& errors) {
    const int status = std::system((command + " 2>'" + errors + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The build's generator on a list and a folder of tunes, writing into `out`.
std::string Generator(const std::string& list, const std::string& music, const std::string& out) {
    return "'" + BuildPath("tools/soundgen") + "' '" + list + "' '" + music + "' '" + out + "' '" + out + "'";
}

TEST(Sounds, EffectsAreShortLoudCleanWavFiles) {
    size_t total = 0;
    double rmsSum = 0.0;
    for (int i = 0; i < effectFileCount; ++i) {
        const std::string name = Name(effectFiles[i]);
        std::string problem;
        const Pcm pcm = ReadWav(SfxPath(name), problem);
        ASSERT_EQ("", problem) << name;
        total += testsupport::ReadFile(SfxPath(name)).size();
        EXPECT_EQ(1, pcm.channels) << name;
        EXPECT_EQ(synth::effectRate, pcm.rate) << name;
        EXPECT_LE(Frames(pcm), size_t(pcm.rate) * 3 / 2) << name << " lasts over 1.5 s";
        EXPECT_LE(PeakDb(pcm), decodedPeakDb) << name;
        EXPECT_LT(DcOffset(pcm), maxDc) << name;
        const double rms = SoundingRmsDb(pcm, -synth::soundingTenths / 10.0);
        EXPECT_NEAR(effectRmsDb, rms, levelTolerance) << name;
        rmsSum += rms;
    }
    EXPECT_LE(total, 300u * 1024) << "all the effects together";
    // The music, mastered on its own, sits the levels' distance under them.
    EXPECT_NEAR(effectRmsDb - musicRmsDb, rmsSum / effectFileCount - musicRmsDb, levelTolerance);
}

TEST(Sounds, MusicDecodesWholeAtItsLevel) {
    size_t total = 0;
    for (int i = 0; i < musicFileCount; ++i) {
        const std::string name = Name(musicFiles[i]);
        std::string problem;
        const Pcm pcm = DecodeMusic(SfxPath(name), false, 0, problem);
        ASSERT_EQ("", problem) << name;
        const Pcm source = ReadWav(PcmPath(name), problem);
        ASSERT_EQ("", problem) << name;
        total += testsupport::ReadFile(SfxPath(name)).size();
        EXPECT_EQ(2, pcm.channels) << name;
        EXPECT_EQ(synth::musicRate, pcm.rate) << name;
        // The encoder's delay and padding trimmed away to the sample.
        EXPECT_EQ(Frames(source), Frames(pcm)) << name;
        EXPECT_LE(PeakDb(pcm), decodedPeakDb) << name;
        EXPECT_LT(DcOffset(pcm), maxDc) << name;
        EXPECT_NEAR(musicRmsDb, RmsDb(pcm), levelTolerance) << name;
        if (musicFiles[i].loop) {
            EXPECT_GE(Frames(pcm), size_t(pcm.rate) * 8) << name;
            EXPECT_LE(Frames(pcm), size_t(pcm.rate) * 16) << name;
        }
    }
    EXPECT_LE(total, 450u * 1024) << "all the music together";
}

TEST(Sounds, LoopsJoinWithoutAClickOrAGap) {
    for (int i = 0; i < musicFileCount; ++i) {
        if (!musicFiles[i].loop) {
            continue;
        }
        const std::string name = Name(musicFiles[i]);
        // Two passes as the engine plays them, the seam between.
        std::string problem;
        const size_t frames = Frames(DecodeMusic(SfxPath(name), false, 0, problem));
        const Join join = MeasureJoin(DecodeMusic(SfxPath(name), true, 2 * frames, problem), frames);
        ASSERT_EQ("", problem) << name;
        EXPECT_LE(join.step, 4 * join.typicalStep) << name << ": a click at the seam";
        EXPECT_LT(join.zeroRun, 16u) << name << ": a gap at the seam";
    }
}

// A sound without a recipe, or a tune with a mistake: exit 1 and a line
// that says which and where.
TEST(Sounds, GeneratorRefusesWhatItCannotMake) {
    const struct {
        const char* row;
        const char* tune;
        const char* says;
    } cases[] = {
        {"effect Whistle whistle.wav -", "", "no recipe for the effect Whistle"},
        {"music Polka polka.mp3 loop", nullptr, "no recipe for the music Polka"},
        {"music Polka polka.mp3 loop", "tempo 120\npattern a\nlead C4\nend\nplay a\n", "line 5: no instrument"},
        {"music Polka polka.mp3 loop", "instrument lead pulse25\npattern a\nlead H4\nend\nplay a\n",
         "line 5: lead: 'H4' is not a note"},
        {"music Polka polka.mp3 loop", "instrument lead pulse33\n", "line 1: no wave called 'pulse33'"},
        {"music Polka polka.mp3 loop", "tempo 120\n", "nothing to play"},
        {"music Polka polka.mp3 loop", "instrument lead pulse25 attack -5\n", "line 1: attack goes from 0"},
    };
    for (const auto& c : cases) {
        testsupport::ScratchDir scratch;
        testsupport::WriteFile(scratch.File("sounds.txt"), std::string(c.row) + "\n");
        if (c.tune != nullptr) {
            testsupport::WriteFile(scratch.File("polka.txt"), c.tune);
        }
        const std::string command = Generator(scratch.File("sounds.txt"), scratch.Path(), scratch.Path());
        EXPECT_EQ(1, RunCommand(command, scratch.File("errors.txt"))) << c.row;
        const std::string errors = testsupport::ReadFile(scratch.File("errors.txt"));
        EXPECT_NE(std::string::npos, errors.find(c.says)) << errors;
    }
}

}  // namespace
