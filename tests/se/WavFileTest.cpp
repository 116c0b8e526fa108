// The effects' WAV reader: what it takes, what it refuses and why, and the
// engine's loading of a file, which says a bad one in one line and goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "se/WavFile.h"
#include "tests/se/SoundMedia.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
    return out;
}

std::string Chunk(const std::string& id, const std::string& body) {
    return id + Le(static_cast<uint32_t>(body.size()), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

std::string Format(int format, int channels, int rate, int bits) {
    return Le(format, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * channels * bits / 8, 4) +
           Le(channels * bits / 8, 2) + Le(bits, 2);
}

std::string Riff(const std::string& chunks) {
    return "RIFF" + Le(static_cast<uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

// Two frames of stereo: (1, -2), (3, -4).
const std::string stereoData = Le(1, 2) + Le(0xfffe, 2) + Le(3, 2) + Le(0xfffc, 2);

TEST(WavFile, TakesPcm16AndRefusesEverythingElse) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* error;  // empty: taken
    };
    const std::string fmtStereo = Chunk("fmt ", Format(1, 2, 22050, 16));
    const std::string data = Chunk("data", stereoData);
    const Case cases[] = {
        { "stereo", Riff(fmtStereo + data), "" },
        { "an odd chunk before", Riff(Chunk("LIST", "abc") + fmtStereo + data), "" },
        { "extensible", Riff(Chunk("fmt ", Format(0xfffe, 2, 22050, 16) + Le(22, 2) + Le(16, 2) + Le(3, 4) +
                                         Le(1, 2) + std::string(14, 'g')) + data), "" },
        { "a half frame at the end", Riff(fmtStereo + Chunk("data", stereoData + "x")), "" },
        { "not RIFF", "RIFX" + Riff(fmtStereo + data).substr(4), "it is not a RIFF WAVE file" },
        { "too short", "RIFF", "it is not a RIFF WAVE file" },
        { "8-bit", Riff(Chunk("fmt ", Format(1, 1, 8000, 8)) + data), "it is not 16-bit PCM" },
        { "float", Riff(Chunk("fmt ", Format(3, 1, 8000, 16)) + data), "it is not 16-bit PCM" },
        { "six channels", Riff(Chunk("fmt ", Format(1, 6, 8000, 16)) + data),
          "it has neither one nor two channels" },
        { "rate 0", Riff(Chunk("fmt ", Format(1, 1, 0, 16)) + data), "its sample rate is out of range" },
        { "short format", Riff(Chunk("fmt ", Format(1, 1, 8000, 16).substr(0, 14)) + data),
          "its format chunk is too short" },
        { "data first", Riff(data + fmtStereo), "its samples come before their format" },
        { "two formats", Riff(fmtStereo + fmtStereo + data), "it has two format chunks" },
        { "no data", Riff(fmtStereo), "it holds no samples" },
        { "empty data", Riff(fmtStereo + Chunk("data", "")), "it holds no samples" },
        { "data past the end", Riff(fmtStereo + "data" + Le(0xfffffff0u, 4) + stereoData),
          "a chunk runs past the end of the file" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        se::WavSound sound;
        std::string error;
        const bool taken = se::ParseWav(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(),
                                        sound, error);
        EXPECT_EQ(taken, *c.error == '\0');
        EXPECT_EQ(taken ? "" : error, c.error);
        if (taken) {
            EXPECT_EQ(sound.channels, 2);
            EXPECT_EQ(sound.rate, 22050);
            EXPECT_EQ(sound.samples, (std::vector<int16_t>{ 1, -2, 3, -4 }));
        }
    }
}

TEST(WavFile, EngineLoadsAGoodFileAndSaysABadOneInOneLine) {
    testsupport::ScratchDir dir;
    const std::string good = dir.File("good.wav");
    sound::WriteWav(good, sound::Tone(0.1, 22050, 1, 440.0), 1, 22050);
    const std::string damaged = dir.File("damaged.wav");
    testsupport::WriteFile(damaged, testsupport::ReadFile(good).substr(0, 60));
    se::ZSoundEngineOpenAL engine;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(engine.LoadSoundFile(2, good));
    EXPECT_FALSE(engine.LoadSoundFile(3, dir.File("missing.wav")));
    EXPECT_FALSE(engine.LoadSoundFile(4, damaged));
    EXPECT_FALSE(engine.LoadSoundFile(2, good));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(engine.SoundBuffer(2), 0u);
    EXPECT_EQ(engine.SoundBuffer(3), 0u);
    EXPECT_EQ(engine.SoundBuffer(4), 0u);
    EXPECT_EQ(sound::CountLines(said, "SE.message: Cannot load sound " + dir.File("missing.wav") +
                                          ": it cannot be opened\n"), 1) << said;
    EXPECT_EQ(sound::CountLines(said, "SE.message: Cannot load sound " + damaged +
                                          ": a chunk runs past the end of the file\n"), 1) << said;
    EXPECT_EQ(sound::CountLines(said, "its slot is taken or out of range\n"), 1) << said;
    EXPECT_NE(engine.PlaySound(3, 1.0f, false), nullptr) << "an empty slot plays silence";
}

}  // namespace
