#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "tests/se/SoundMedia.h"
#include "tests/support/TestSupport.h"

using se::ZSoundEngineOpenAL;
using sound::CountLines;

namespace {

class MusicStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        engine = std::make_unique<ZSoundEngineOpenAL>();
    }

    void Play(const std::string& path, int music = 3) {
        ASSERT_TRUE(engine->SetMusicName(music, path));
        engine->PlayMusic(music, 1.0f, 0);
    }

    ALint BufferValue(int index, ALenum param) const {
        ALint value = 0;
        alGetBufferi(engine->MusicBuffer(index), param, &value);
        return value;
    }
    ALint SourceValue(ALenum param) const {
        ALint value = 0;
        alGetSourcei(engine->MusicSource(), param, &value);
        return value;
    }

    std::unique_ptr<ZSoundEngineOpenAL> engine;
};

TEST_F(MusicStreamTest, NoMusicBeforeTheFirstTrack) {
    EXPECT_EQ(engine->CurrentMusic(), -1);
    engine->Update();
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 0);
    EXPECT_EQ(engine->CurrentMusic(), -1);
}

TEST_F(MusicStreamTest, MonoTrackIsBufferedAsMono16AtItsRate) {
    const std::string path = sound::ToneMp3(1.0, 22050, 1, "-b 64");
    const sound::Decoded reference = sound::DecodeWhole(path);
    ASSERT_EQ(reference.channels, 1);
    Play(path);
    EXPECT_EQ(engine->CurrentMusic(), 3);
    EXPECT_EQ(BufferValue(0, AL_CHANNELS), 1);
    EXPECT_EQ(BufferValue(0, AL_BITS), 16);
    EXPECT_EQ(BufferValue(0, AL_FREQUENCY), reference.rate);
    EXPECT_EQ(SourceValue(AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 2);
}

TEST_F(MusicStreamTest, StereoTrackIsBufferedAsStereo16AtItsRate) {
    const std::string path = sound::ToneMp3(1.0, 48000, 2, "-b 128");
    const sound::Decoded reference = sound::DecodeWhole(path);
    ASSERT_EQ(reference.channels, 2);
    Play(path);
    EXPECT_EQ(BufferValue(0, AL_CHANNELS), 2);
    EXPECT_EQ(BufferValue(1, AL_CHANNELS), 2);
    EXPECT_EQ(BufferValue(0, AL_BITS), 16);
    EXPECT_EQ(BufferValue(0, AL_FREQUENCY), reference.rate);
    EXPECT_LE(BufferValue(0, AL_SIZE), ZSoundEngineOpenAL::chunkSize);
    EXPECT_LE(BufferValue(1, AL_SIZE), ZSoundEngineOpenAL::chunkSize);
}

TEST_F(MusicStreamTest, WholeTrackIsStreamedAndThenEnds) {
    // More than one read of the file, the last one short.
    const std::string path = sound::ToneMp3(1.0, 44100, 2, "-b 320");
    const size_t fileSize = testsupport::ReadFile(path).size();
    ASSERT_GT(fileSize, static_cast<size_t>(ZSoundEngineOpenAL::chunkSize));
    ASSERT_NE(fileSize % ZSoundEngineOpenAL::chunkSize, 0u);
    const sound::Decoded reference = sound::DecodeWhole(path);
    Play(path, 5);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sound::StreamToEnd(*engine, 10000));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(engine->StreamedBytes(), reference.bytes);
    EXPECT_EQ(engine->CurrentMusic(), -1);
    EXPECT_EQ(CountLines(errors, "End of file?\n"), 2);
    EXPECT_EQ(SourceValue(AL_SOURCE_STATE), AL_STOPPED);
    engine->Update();
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 0);
}

TEST_F(MusicStreamTest, TrackShorterThanOneChunkPlaysWhole) {
    const std::string path = sound::ToneMp3(0.4, 44100, 2, "-b 128");
    ASSERT_LT(testsupport::ReadFile(path).size(), static_cast<size_t>(ZSoundEngineOpenAL::chunkSize));
    const sound::Decoded reference = sound::DecodeWhole(path);
    Play(path);
    EXPECT_GT(BufferValue(0, AL_SIZE), 0);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sound::StreamToEnd(*engine, 5000));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(engine->StreamedBytes(), reference.bytes);
    EXPECT_EQ(engine->CurrentMusic(), -1);
}

TEST_F(MusicStreamTest, TinyTrackQueuesOnlyTheBufferThatHoldsSound) {
    // A few frames of mono: all of its PCM fits in the first buffer.
    const std::string path = sound::ToneMp3(0.1, 22050, 1, "-b 32");
    const sound::Decoded reference = sound::DecodeWhole(path);
    ASSERT_LT(reference.bytes, ZSoundEngineOpenAL::chunkSize);
    Play(path);
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 1);
    EXPECT_EQ(engine->StreamedBytes(), reference.bytes);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sound::StreamToEnd(*engine, 5000));
    EXPECT_EQ(CountLines(testing::internal::GetCapturedStderr(), "End of file?\n"), 1);
    EXPECT_EQ(engine->CurrentMusic(), -1);
}

TEST_F(MusicStreamTest, LargeTagInFrontIsSkippedBeforeTheFirstSound) {
    // The padded tag fills more than two reads of the file.
    const std::string path =
        sound::ToneMp3(1.0, 44100, 2, "-b 128 --add-id3v2 --tt Tagged --pad-id3v2-size 70000");
    const std::string bytes = testsupport::ReadFile(path);
    ASSERT_EQ(bytes.substr(0, 3), "ID3");
    ASSERT_GT(bytes.find(std::string("\xff\xfb", 2)), 2u * ZSoundEngineOpenAL::chunkSize);
    const sound::Decoded reference = sound::DecodeWhole(path);
    Play(path);
    EXPECT_EQ(engine->CurrentMusic(), 3);
    EXPECT_EQ(BufferValue(0, AL_CHANNELS), 2);
    EXPECT_GT(BufferValue(0, AL_SIZE), 0);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sound::StreamToEnd(*engine, 5000));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(engine->StreamedBytes(), reference.bytes);
}

TEST_F(MusicStreamTest, PlayingTheSameTrackAgainRestartsIt) {
    const std::string path = sound::ToneMp3(1.0, 44100, 2, "-b 320");
    Play(path, 2);
    // Until a refill: the mixer's thread may be held back on a busy machine.
    ASSERT_TRUE(sound::WaitUntil([this] {
        engine->Update();
        return engine->StreamedBytes() > 2 * ZSoundEngineOpenAL::chunkSize;
    }));
    const int64_t streamedBeforeRestart = engine->StreamedBytes();
    engine->PlayMusic(2, 1.0f, 0);
    EXPECT_EQ(engine->CurrentMusic(), 2);
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 2);
    EXPECT_EQ(SourceValue(AL_BUFFERS_PROCESSED), 0);
    EXPECT_EQ(SourceValue(AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_LT(engine->StreamedBytes(), streamedBeforeRestart);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sound::StreamToEnd(*engine, 10000));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(engine->StreamedBytes(), sound::DecodeWhole(path).bytes);
}

TEST_F(MusicStreamTest, StarvedSourceIsRestartedWithoutStaleSamples) {
    // Nobody calls Update while both buffers play out; the next one finds
    // both back and refills and restarts the source.
    const std::string path = sound::ToneMp3(1.0, 44100, 2, "-b 320");
    Play(path);
    ASSERT_TRUE(sound::WaitUntil([this] { return SourceValue(AL_BUFFERS_PROCESSED) == 2; }));
    engine->Update();
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 2);
    EXPECT_EQ(SourceValue(AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(engine->CurrentMusic(), 3);
}

TEST_F(MusicStreamTest, StarvedNearTheEndQueuesOnlyFreshSamples) {
    // Between two and three buffers of PCM: the restart finds only the tail.
    const std::string path = sound::ToneMp3(0.4, 44100, 2, "-b 128");
    const sound::Decoded reference = sound::DecodeWhole(path);
    ASSERT_GT(reference.bytes, 2 * ZSoundEngineOpenAL::chunkSize);
    ASSERT_LE(reference.bytes, 3 * ZSoundEngineOpenAL::chunkSize);
    Play(path);
    ASSERT_TRUE(sound::WaitUntil([this] { return SourceValue(AL_BUFFERS_PROCESSED) == 2; }));
    testing::internal::CaptureStderr();
    engine->Update();
    EXPECT_EQ(CountLines(testing::internal::GetCapturedStderr(), "End of file?\n"), 1);
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 1);
    EXPECT_EQ(SourceValue(AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(engine->CurrentMusic(), -1);
    EXPECT_EQ(engine->StreamedBytes(), reference.bytes);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sound::StreamToEnd(*engine, 5000));
    EXPECT_EQ(CountLines(testing::internal::GetCapturedStderr(), "End of file?\n"), 1);
}

TEST_F(MusicStreamTest, StarvedAtTheEndQueuesNothingAndEnds) {
    // Between one and two buffers of PCM: nothing is left for the restart.
    const std::string path = sound::ToneMp3(0.3, 44100, 2, "-b 128");
    const sound::Decoded reference = sound::DecodeWhole(path);
    ASSERT_GT(reference.bytes, ZSoundEngineOpenAL::chunkSize);
    ASSERT_LE(reference.bytes, 2 * ZSoundEngineOpenAL::chunkSize);
    Play(path);
    ASSERT_TRUE(sound::WaitUntil([this] { return SourceValue(AL_BUFFERS_PROCESSED) == 2; }));
    testing::internal::CaptureStderr();
    engine->Update();
    EXPECT_EQ(CountLines(testing::internal::GetCapturedStderr(), "End of file?\n"), 2);
    EXPECT_EQ(engine->CurrentMusic(), -1);
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 0);
    EXPECT_EQ(SourceValue(AL_SOURCE_STATE), AL_STOPPED);
    EXPECT_EQ(engine->StreamedBytes(), reference.bytes);
}

TEST_F(MusicStreamTest, MusicVolumeFollowsTheVolumeRule) {
    Play(sound::ToneMp3(0.4, 44100, 2, "-b 128"));
    ALfloat gain = -1.0f;
    alGetSourcef(engine->MusicSource(), AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 1.0f);
    engine->SetMusicVolume(0.75f);
    alGetSourcef(engine->MusicSource(), AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.5f);
    engine->SetMusicVolume(0.3f);
    alGetSourcef(engine->MusicSource(), AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.0f);
}

TEST_F(MusicStreamTest, MusicNumbersOutsideTheTableAreIgnored) {
    EXPECT_FALSE(engine->SetMusicName(-1, "x.mp3"));
    EXPECT_FALSE(engine->SetMusicName(ZSoundEngineOpenAL::musicCount, "x.mp3"));
    engine->PlayMusic(ZSoundEngineOpenAL::musicCount, 1.0f, 0);
    engine->PlayMusic(-1, 1.0f, 0);
    EXPECT_EQ(engine->CurrentMusic(), -1);
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 0);
}

TEST_F(MusicStreamTest, LongTrackStreamsInFixedMemory) {
    // 12 s of stereo, over a megabyte of PCM, played eight times faster.
    const std::string path = sound::ToneMp3(12.0, 48000, 2, "-b 96");
    const sound::Decoded reference = sound::DecodeWhole(path);
    Play(path);
    alSourcef(engine->MusicSource(), AL_PITCH, 8.0f);
    for (int i = 0; i < 30; i++) {
        engine->Update();
        sound::Sleep(16);
    }
    const int64_t before = sound::ResidentBytes();
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sound::StreamToEnd(*engine, 15000));
    testing::internal::GetCapturedStderr();
    const int64_t after = sound::ResidentBytes();
    EXPECT_EQ(engine->StreamedBytes(), reference.bytes);
    EXPECT_LT(after - before, reference.bytes / 4) << "resident memory grew while streaming";
}

// A track that cannot be played is said in one log line; the music stops,
// the program goes on, and the next good track plays.
TEST_F(MusicStreamTest, BrokenTrackIsSaidOnceAndTheGameGoesOn) {
    // An ID3v2.3 header announcing 40000 bytes of padding, and nothing else.
    std::string tagOnly = std::string("ID3\x03\x00\x00", 6);
    const int padding = 40000;
    for (int shift = 21; shift >= 0; shift -= 7) {
        tagOnly.push_back(static_cast<char>((padding >> shift) & 0x7f));
    }
    tagOnly.append(padding, '\0');
    // The first frames of a track, then a long run of zeros where the rest
    // of it should be: the decoder gives up looking for the next frame.
    const std::string head = testsupport::ReadFile(sound::ToneMp3(1.0, 48000, 2, "-b 128")).substr(0, 8000);
    struct Case {
        std::string path;
        const char* line;
    };
    const Case cases[] = {
        { "", "SE.message: Cannot open \n" },
        { sound::MediaPath("no-such-track.mp3"), "SE.message: Cannot open " },
        { sound::BytesFile("empty.mp3", ""), "SE.message: No audio in " },
        { sound::BytesFile("tag-only.mp3", tagOnly), "SE.message: No audio in " },
        { sound::BytesFile("damaged.mp3", head + std::string(60000, '\0')), "SE.message: Mpg123 error: " },
    };
    const std::string good = sound::ToneMp3(0.3, 22050, 1, "-b 64");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Play(good, 2);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        Play(c.path, 4);
        sound::StreamToEnd(*engine, 5000);
        engine->Update();
        const std::string said = testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(CountLines(said, c.line), 1) << said;
        EXPECT_EQ(CountLines(said, "SE.error"), 0) << said;
        EXPECT_EQ(engine->CurrentMusic(), -1);
        Play(good, 2);
        EXPECT_EQ(engine->CurrentMusic(), 2);
        EXPECT_EQ(SourceValue(AL_SOURCE_STATE), AL_PLAYING);
    }
}

// A looping track goes on past its end: the PCM after the join is the
// track's first PCM again, and one pass holds exactly the samples encoded.
TEST_F(MusicStreamTest, LoopingTrackJoinsItsStartWithoutAGap) {
    const double seconds = 0.5;
    const int rate = 44100;
    const std::string path = sound::ToneMp3(seconds, rate, 2, "-b 128");
    const int64_t passBytes = static_cast<int64_t>(seconds * rate) * 2 * 2;
    ASSERT_EQ(sound::DecodeWhole(path).bytes, passBytes) << "libmpg123 trims the encoder's delay and padding";
    se::ZMusicDecoderMpg123 decoder;
    ASSERT_TRUE(decoder.Open(path, true));
    std::vector<char> pcm;
    while (static_cast<int64_t>(pcm.size()) < 3 * passBytes) {
        const se::PcmPiece piece = decoder.Decode();
        ASSERT_FALSE(decoder.IsExhausted());
        const char* bytes = static_cast<const char*>(piece.samples);
        pcm.insert(pcm.end(), bytes, bytes + piece.bytes);
    }
    for (int pass = 1; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        EXPECT_TRUE(std::equal(pcm.begin(), pcm.begin() + passBytes, pcm.begin() + pass * passBytes));
    }
    // Through the engine, with the source stopped before each update so
    // that every queued buffer counts as played: three passes and more.
    testing::internal::CaptureStderr();
    ASSERT_TRUE(engine->SetMusicName(3, path, true));
    engine->PlayMusic(3, 1.0f, 0);
    while (engine->StreamedBytes() < 3 * passBytes && engine->CurrentMusic() == 3) {
        alSourceStop(engine->MusicSource());
        engine->Update();
    }
    EXPECT_EQ(CountLines(testing::internal::GetCapturedStderr(), "End of file?\n"), 0);
    EXPECT_EQ(engine->CurrentMusic(), 3);
    EXPECT_EQ(SourceValue(AL_BUFFERS_QUEUED), 2);
}

}  // namespace
