// MP3 files whose frames change format part way (tracks joined together, or
// damaged headers) once made the music stream label PCM of one format with
// the next and queue buffers of mixed formats: OpenAL refused them and the
// program ended with "Failed during decoding chunk of stream.". A track now
// keeps the format of its first frame.
#include <gtest/gtest.h>

#include <memory>

#include "tests/se/SoundMedia.h"
#include "tests/support/TestSupport.h"

using se::ZSoundEngineOpenAL;

namespace {

class MusicFormatChangeTest : public ::testing::Test {
protected:
    static constexpr int music = 7;

    void SetUp() override { engine = std::make_unique<ZSoundEngineOpenAL>(); }

    void Play(const std::string& path) {
        ASSERT_TRUE(engine->SetMusicName(music, path));
        engine->PlayMusic(music, 1.0f, 0);
        ASSERT_EQ(engine->CurrentMusic(), music);
    }

    ALint BufferValue(int index, ALenum param) const {
        ALint value = 0;
        alGetBufferi(engine->MusicBuffer(index), param, &value);
        return value;
    }
    ALint QueuedBuffers() const {
        ALint value = 0;
        alGetSourcei(engine->MusicSource(), AL_BUFFERS_QUEUED, &value);
        return value;
    }

    // Streams the track to its end, the source running dry before every
    // Update so that no real time has to pass; after each step every music
    // buffer must still hold sound of the expected format.
    void StreamCheckingFormat(const sound::Decoded& format) {
        testing::internal::CaptureStderr();
        for (int step = 0; step < 1000 && QueuedBuffers() > 0; ++step) {
            for (int index = 0; index < 2; ++index) {
                ASSERT_EQ(BufferValue(index, AL_FREQUENCY), format.rate) << "step " << step;
                ASSERT_EQ(BufferValue(index, AL_CHANNELS), format.channels) << "step " << step;
            }
            alSourceStop(engine->MusicSource());
            engine->Update();
        }
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(QueuedBuffers(), 0) << "the track never ended";
    }

    std::unique_ptr<ZSoundEngineOpenAL> engine;
};

std::string Joined(const std::string& name, const std::string& first, const std::string& second) {
    return sound::BytesFile(name, testsupport::ReadFile(first) + testsupport::ReadFile(second));
}

TEST_F(MusicFormatChangeTest, TrackJoinedFromTwoRatesPlaysItsFirstPartWhole) {
    const std::string first = sound::ToneMp3(1.0, 22050, 1, "-b 32");
    const std::string second = sound::ToneMp3(1.0, 44100, 2, "-b 128");
    const sound::Decoded firstSound = sound::DecodeWhole(first);
    ASSERT_EQ(firstSound.channels, 1);
    ASSERT_NE(firstSound.rate, sound::DecodeWhole(second).rate);

    Play(Joined("joined_rates.mp3", first, second));
    StreamCheckingFormat(firstSound);
    EXPECT_EQ(engine->StreamedBytes(), firstSound.bytes);
    EXPECT_EQ(engine->CurrentMusic(), -1);
}

TEST_F(MusicFormatChangeTest, ChannelChangeWithoutTrackHeaderKeepsTheFirstChannels) {
    // No information frame: nothing tells the decoder where the mono part ends.
    const std::string mono = sound::ToneMp3(1.0, 44100, 1, "-b 128 -t");
    const std::string stereo = sound::ToneMp3(1.0, 44100, 2, "-b 128 -t");
    const sound::Decoded monoSound = sound::DecodeWhole(mono);
    ASSERT_EQ(monoSound.rate, sound::DecodeWhole(stereo).rate);

    Play(Joined("joined_channels.mp3", mono, stereo));
    StreamCheckingFormat(monoSound);
    EXPECT_EQ(engine->StreamedBytes(), monoSound.bytes);
}

TEST_F(MusicFormatChangeTest, NextTrackStartsInItsOwnFormat) {
    const std::string stereo = sound::ToneMp3(1.0, 44100, 2, "-b 128");
    const std::string mono = sound::ToneMp3(1.0, 22050, 1, "-b 32");
    Play(Joined("joined_stereo_mono.mp3", stereo, mono));
    StreamCheckingFormat(sound::DecodeWhole(stereo));

    // Straight after the joined track, and again while buffers are queued.
    const sound::Decoded monoSound = sound::DecodeWhole(mono);
    Play(mono);
    EXPECT_EQ(BufferValue(0, AL_CHANNELS), 1);
    EXPECT_EQ(BufferValue(0, AL_FREQUENCY), monoSound.rate);
    Play(stereo);
    EXPECT_EQ(BufferValue(0, AL_CHANNELS), 2);
    EXPECT_EQ(QueuedBuffers(), 2);
}

}  // namespace
