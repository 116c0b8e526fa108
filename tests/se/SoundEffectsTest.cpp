#include <gtest/gtest.h>

#include <memory>

#include "tests/se/SoundMedia.h"

using se::XSound;
using se::ZSoundEngineOpenAL;
using se::ZSoundOpenAL;

namespace {

constexpr int toneRate = 22050;

class SoundEffectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = std::make_unique<ZSoundEngineOpenAL>();
        alGetError();
    }

    // Sound `number` holds a mono tone of the given length.
    void LoadTone(int number, double seconds) {
        const std::vector<int16_t> samples = sound::Tone(seconds, toneRate, 1, 440.0);
        ASSERT_TRUE(engine->LoadSound(number, AL_FORMAT_MONO16, samples.data(),
                                      static_cast<ALsizei>(samples.size() * 2), toneRate));
    }

    static ALint State(XSound* played) {
        ALint state = 0;
        alGetSourcei(static_cast<ZSoundOpenAL*>(played)->Source(), AL_SOURCE_STATE, &state);
        return state;
    }
    static ALfloat Gain(XSound* played) {
        ALfloat gain = -1.0f;
        alGetSourcef(static_cast<ZSoundOpenAL*>(played)->Source(), AL_GAIN, &gain);
        return gain;
    }

    // Waits (without Update) until the sound's source has played out.
    static bool WaitUntilStopped(XSound* played) {
        const ALuint source = static_cast<ZSoundOpenAL*>(played)->Source();
        return sound::WaitUntil([source] { return sound::SourceState(source) == AL_STOPPED; });
    }

    std::unique_ptr<ZSoundEngineOpenAL> engine;
};

TEST(VolumeRule, GainIsTwiceTheVolumeAboveOneHalf) {
    EXPECT_FLOAT_EQ(se::GainFromVolume(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(se::GainFromVolume(0.75f), 0.5f);
    EXPECT_FLOAT_EQ(se::GainFromVolume(0.5f), 0.0f);
    EXPECT_FLOAT_EQ(se::GainFromVolume(0.2f), 0.0f);
    EXPECT_FLOAT_EQ(se::GainFromVolume(-3.0f), 0.0f);
    EXPECT_FLOAT_EQ(se::GainFromVolume(1.5f), 2.0f);
}

TEST_F(SoundEffectsTest, PlayedSoundGetsItsBufferAndGain) {
    LoadTone(5, 0.5);
    XSound* const played = engine->PlaySound(5, 0.75f, false);
    ASSERT_NE(played, nullptr);
    ALint buffer = 0;
    alGetSourcei(static_cast<ZSoundOpenAL*>(played)->Source(), AL_BUFFER, &buffer);
    EXPECT_EQ(static_cast<ALuint>(buffer), engine->SoundBuffer(5));
    EXPECT_FLOAT_EQ(Gain(played), 0.5f);
    EXPECT_EQ(State(played), AL_PLAYING);
    played->SetVolume(1.0f);
    EXPECT_FLOAT_EQ(Gain(played), 1.0f);
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(SoundEffectsTest, SoundStartsOnlyOncePerUpdatePeriod) {
    LoadTone(1, 1.0);
    LoadTone(2, 1.0);
    EXPECT_NE(engine->PlaySound(1, 1.0f, false), nullptr);
    EXPECT_EQ(engine->PlaySound(1, 1.0f, false), nullptr);
    EXPECT_NE(engine->PlaySound(2, 1.0f, false), nullptr);
    EXPECT_EQ(engine->ActiveSoundCount(), 2u);
    engine->Update();
    EXPECT_NE(engine->PlaySound(1, 1.0f, false), nullptr);
    EXPECT_EQ(engine->ActiveSoundCount(), 3u);
}

TEST_F(SoundEffectsTest, StopAllSoundsStopsEverythingAndAllowsARestart) {
    LoadTone(1, 1.0);
    XSound* const first = engine->PlaySound(1, 1.0f, false);
    ASSERT_NE(first, nullptr);
    const ALuint source = static_cast<ZSoundOpenAL*>(first)->Source();
    engine->PlaySound(1, 1.0f, true);
    engine->StopAllSounds();
    EXPECT_EQ(engine->ActiveSoundCount(), 0u);
    EXPECT_EQ(alIsSource(source), AL_FALSE);
    EXPECT_NE(engine->PlaySound(1, 1.0f, false), nullptr);
}

TEST_F(SoundEffectsTest, StopAllSoundsWithNothingPlaying) {
    engine->StopAllSounds();
    EXPECT_EQ(engine->ActiveSoundCount(), 0u);
    LoadTone(0, 0.2);
    EXPECT_NE(engine->PlaySound(0, 1.0f, false), nullptr);
    EXPECT_EQ(engine->ActiveSoundCount(), 1u);
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(SoundEffectsTest, LoopingSoundsStartEveryTimeAndLiveUntilStopped) {
    LoadTone(3, 0.05);
    XSound* const first = engine->PlaySound(3, 1.0f, true);
    XSound* const second = engine->PlaySound(3, 1.0f, true);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    sound::Sleep(150);
    engine->Update();
    EXPECT_EQ(engine->ActiveSoundCount(), 2u);
    EXPECT_EQ(State(first), AL_PLAYING);
    EXPECT_EQ(State(second), AL_PLAYING);
    first->Stop();
    engine->Update();
    EXPECT_EQ(engine->ActiveSoundCount(), 1u);
    EXPECT_EQ(State(second), AL_PLAYING);
}

TEST_F(SoundEffectsTest, FinishedSoundLivesUntilTheNextUpdate) {
    LoadTone(7, 0.02);
    XSound* const played = engine->PlaySound(7, 1.0f, false);
    ASSERT_NE(played, nullptr);
    ASSERT_TRUE(WaitUntilStopped(played));
    EXPECT_EQ(engine->ActiveSoundCount(), 1u);
    played->SetVolume(0.9f);
    played->Stop();
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
    engine->Update();
    EXPECT_EQ(engine->ActiveSoundCount(), 0u);
}

TEST_F(SoundEffectsTest, SilentSoundIsCountedAndReapedLikeAnyOther) {
    LoadTone(9, 0.02);
    XSound* const played = engine->PlaySound(9, 0.5f, false);
    ASSERT_NE(played, nullptr);
    EXPECT_FLOAT_EQ(Gain(played), 0.0f);
    EXPECT_EQ(engine->ActiveSoundCount(), 1u);
    EXPECT_EQ(engine->PlaySound(9, 0.5f, false), nullptr);
    ASSERT_TRUE(WaitUntilStopped(played));
    engine->Update();
    EXPECT_EQ(engine->ActiveSoundCount(), 0u);
}

TEST_F(SoundEffectsTest, NumbersOutsideTheTableAreRefused) {
    EXPECT_EQ(engine->PlaySound(-1, 1.0f, false), nullptr);
    EXPECT_EQ(engine->PlaySound(ZSoundEngineOpenAL::soundCount, 1.0f, true), nullptr);
    EXPECT_EQ(engine->ActiveSoundCount(), 0u);
    const int16_t samples[4] = { 0, 1000, 0, -1000 };
    EXPECT_FALSE(engine->LoadSound(-1, AL_FORMAT_MONO16, samples, sizeof samples, toneRate));
    EXPECT_FALSE(engine->LoadSound(ZSoundEngineOpenAL::soundCount, AL_FORMAT_MONO16, samples,
                                   sizeof samples, toneRate));
}

TEST_F(SoundEffectsTest, FilledSlotIsNotReplaced) {
    LoadTone(4, 0.1);
    const ALuint buffer = engine->SoundBuffer(4);
    const int16_t samples[4] = { 0, 1000, 0, -1000 };
    EXPECT_FALSE(engine->LoadSound(4, AL_FORMAT_MONO16, samples, sizeof samples, toneRate));
    EXPECT_EQ(engine->SoundBuffer(4), buffer);
    ALint size = 0;
    alGetBufferi(buffer, AL_SIZE, &size);
    EXPECT_GT(size, static_cast<ALint>(sizeof samples));
}

}  // namespace
