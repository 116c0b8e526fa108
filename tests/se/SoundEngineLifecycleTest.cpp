#include <gtest/gtest.h>

#include <AL/alc.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/se/SoundMedia.h"
#include "tests/support/TestSupport.h"

using se::XSound;
using se::ZSoundEngineOpenAL;
using se::ZSoundOpenAL;

namespace {

class SoundEngineLifecycleTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    // A fresh output path: what a child process writes there is read back by
    // the parent once the child has ended.
    static std::string FreshOutput(const std::string& name) {
        const std::string path = sound::MediaPath(name);
        std::filesystem::remove(path);
        return path;
    }
};

// Left channel of a stereo capture.
std::vector<int16_t> LeftChannel(const std::vector<int16_t>& stereo) {
    std::vector<int16_t> left;
    for (size_t i = 0; i < stereo.size(); i += 2) {
        left.push_back(stereo[i]);
    }
    return left;
}

int Peak(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (const int16_t sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

// Frequency of a tone from its rising zero crossings over the part where it
// is audible.
double ToneFrequency(const std::vector<int16_t>& samples, int rate) {
    size_t first = 0;
    size_t last = 0;
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); i++) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (crossings == 0) {
                first = i;
            }
            last = i;
            crossings++;
        }
    }
    if (crossings < 2) {
        return 0.0;
    }
    return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

TEST_F(SoundEngineLifecycleTest, CreationAndDestructionAreLogged) {
    testing::internal::CaptureStdout();
    {
        ZSoundEngineOpenAL engine;
        EXPECT_NE(alcGetCurrentContext(), nullptr);
        EXPECT_EQ(engine.CurrentMusic(), -1);
        EXPECT_EQ(engine.ActiveSoundCount(), 0u);
        for (int i = 0; i < ZSoundEngineOpenAL::soundCount; i++) {
            EXPECT_EQ(engine.SoundBuffer(i), 0u);
        }
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "SE.message: Start creating Sound Engine\n"
              "SE.message: Sound Engine is created!\n"
              "SE.message: Killing Sound Engine...\n"
              "SE.message: Sound Engine is destroyed!\n");
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
}

TEST_F(SoundEngineLifecycleTest, NoAudioDeviceEndsTheProgram) {
    EXPECT_EXIT(
        {
            sound::StdoutToStderr();
            setenv("ALSOFT_DRIVERS", "nosuch", 1);
            ZSoundEngineOpenAL engine;
        },
        testing::ExitedWithCode(1), "SE\\.error: Cannot open device\n");
}

TEST_F(SoundEngineLifecycleTest, EverySourceAndBufferIsReleasedBeforeTheDeviceCloses) {
    // OpenAL warns about sources and buffers still alive when a context is
    // destroyed or a device closed.
    const std::string logPath = FreshOutput("release.log");
    const std::string music = sound::ToneMp3(1.0, 44100, 2, "-b 320");
    EXPECT_EXIT(
        {
            setenv("ALSOFT_LOGLEVEL", "3", 1);
            setenv("ALSOFT_LOGFILE", logPath.c_str(), 1);
            ZSoundEngineOpenAL* const engine = new ZSoundEngineOpenAL();
            const std::vector<int16_t> samples = sound::Tone(0.5, 22050, 1, 440.0);
            for (int i = 0; i < 3; i++) {
                engine->LoadSound(i, AL_FORMAT_MONO16, samples.data(),
                                  static_cast<ALsizei>(samples.size() * 2), 22050);
                engine->PlaySound(i, 1.0f, true);
            }
            engine->SetMusicName(0, music);
            engine->PlayMusic(0, 1.0f, 0);
            delete engine;
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    const std::string log = testsupport::ReadFile(logPath);
    ASSERT_NE(log, "") << "OpenAL wrote no log";
    EXPECT_EQ(log.find("Deleted"), std::string::npos) << log;
}

// In a child process: plays a 0.3 s 440 Hz effect at the volume through
// OpenAL's wave output into the file, then ends the engine.
void PlayToneThroughWaveOutput(const std::string& wav, float volume) {
    EXPECT_EXIT(
        {
            sound::UseWaveOutput(wav);
            ZSoundEngineOpenAL* const engine = new ZSoundEngineOpenAL();
            const std::vector<int16_t> samples = sound::Tone(0.3, 22050, 1, 440.0);
            engine->LoadSound(0, AL_FORMAT_MONO16, samples.data(),
                              static_cast<ALsizei>(samples.size() * 2), 22050);
            XSound* const played = engine->PlaySound(0, volume, false);
            const ALuint source = static_cast<ZSoundOpenAL*>(played)->Source();
            sound::WaitUntil([source] { return sound::SourceState(source) == AL_STOPPED; });
            delete engine;
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(SoundEngineLifecycleTest, PlayedSoundIsHeardAtItsPitch) {
    const std::string wav = FreshOutput("effect.wav");
    PlayToneThroughWaveOutput(wav, 1.0f);
    const std::vector<int16_t> left = LeftChannel(sound::ReadWavSamples(wav));
    EXPECT_GT(Peak(left), 1000);
    EXPECT_NEAR(ToneFrequency(left, 44100), 440.0, 10.0);
}

TEST_F(SoundEngineLifecycleTest, SoundAtHalfVolumeIsSilent) {
    const std::string wav = FreshOutput("silent.wav");
    PlayToneThroughWaveOutput(wav, 0.5f);
    const std::vector<int16_t> captured = sound::ReadWavSamples(wav);
    ASSERT_GT(captured.size(), 44100u / 4) << "the wave output wrote too little";
    EXPECT_LE(Peak(captured), 2);
}

TEST_F(SoundEngineLifecycleTest, StreamedMusicIsHeardAtItsPitch) {
    const std::string wav = FreshOutput("music.wav");
    const std::string music = sound::ToneMp3(0.6, 22050, 1, "-b 64");
    EXPECT_EXIT(
        {
            sound::UseWaveOutput(wav);
            ZSoundEngineOpenAL* const engine = new ZSoundEngineOpenAL();
            engine->SetMusicName(0, music);
            engine->PlayMusic(0, 1.0f, 0);
            sound::StreamToEnd(*engine, 10000);
            delete engine;
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    const std::vector<int16_t> left = LeftChannel(sound::ReadWavSamples(wav));
    EXPECT_GT(Peak(left), 1000);
    EXPECT_NEAR(ToneFrequency(left, 44100), 440.0, 10.0);
    // The whole track came out: over half a second of it is loud.
    int loud = 0;
    for (const int16_t sample : left) {
        loud += std::abs(static_cast<int>(sample)) > 500 ? 1 : 0;
    }
    EXPECT_GT(loud, 44100 / 4);
}

}  // namespace
