// The engine core under a decoder the test scripts: a track of a few pieces
// of silence, ready when the test says so (as the browser's decoder answers
// later). Starved updates (the source stopped first, so every queued buffer
// counts as played) stream it without waiting for real time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "se/ZSoundEngineCore.h"
#include "tests/se/SoundMedia.h"

namespace {

const int pieceBytes = 4096;
const int pieceRate = 22050;

class ScriptedDecoder final : public se::XMusicDecoder {
public:
    bool Open(const std::string& name, bool) override {
        opened = name;
        return true;
    }
    bool IsReady() override { return ready; }
    se::PcmPiece Decode() override {
        const int bytes = piecesLeft > 0 ? pieceBytes : 0;
        piecesLeft -= piecesLeft > 0 ? 1 : 0;
        return se::PcmPiece{ silence.data(), bytes, 1, pieceRate };
    }
    bool IsExhausted() const override { return piecesLeft == 0; }
    const std::string& Failure() const override { return failure; }

    std::string opened;
    bool ready = true;
    int piecesLeft = 0;
    std::string failure;
    std::vector<char> silence = std::vector<char>(pieceBytes, 0);
};

class ScriptedEngine final : public se::ZSoundEngineCore {
public:
    explicit ScriptedEngine(se::TrackEnd trackEnd) : ZSoundEngineCore(decoder, trackEnd) {}

    ALint Queued() const {
        ALint queued = 0;
        alGetSourcei(MusicSource(), AL_BUFFERS_QUEUED, &queued);
        return queued;
    }
    void StarvedUpdate() {
        alSourceStop(MusicSource());
        Update();
    }

    ScriptedDecoder decoder;
};

TEST(SoundEngineCore, TrackWaitsForItsDecoderAndStartsInTheFirstUpdateAfter) {
    ScriptedEngine engine(se::TrackEnd::Once);
    engine.decoder.ready = false;
    engine.decoder.piecesLeft = 3;
    ASSERT_TRUE(engine.SetMusicName(2, "later.mp3"));
    engine.PlayMusic(2, 1.0f, 0);
    EXPECT_EQ(engine.decoder.opened, "later.mp3");
    EXPECT_EQ(engine.CurrentMusic(), 2);
    engine.Update();
    EXPECT_EQ(engine.Queued(), 0);
    EXPECT_EQ(engine.StreamedBytes(), 0);
    engine.decoder.ready = true;
    engine.Update();
    EXPECT_EQ(engine.Queued(), 2);
    EXPECT_EQ(engine.StreamedBytes(), 2 * pieceBytes);
}

TEST(SoundEngineCore, EndOfTrackIsToldAsTheEngineChose) {
    struct Case {
        se::TrackEnd trackEnd;
        int endLines;
        ALint queuedAfterEnd;
    };
    // Three pieces: the start queues two, the first starved update refills
    // one buffer and finds nothing for the other, the second finds nothing.
    const Case cases[] = {
        { se::TrackEnd::EveryEmptyBuffer, 2, 0 },
        { se::TrackEnd::Once, 1, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.endLines);
        ScriptedEngine engine(c.trackEnd);
        engine.decoder.piecesLeft = 3;
        ASSERT_TRUE(engine.SetMusicName(0, "three.mp3"));
        engine.PlayMusic(0, 1.0f, 0);
        testing::internal::CaptureStderr();
        for (int i = 0; i < 4; i++) {
            engine.StarvedUpdate();
        }
        EXPECT_EQ(sound::CountLines(testing::internal::GetCapturedStderr(), "End of file?\n"),
                  c.endLines);
        EXPECT_EQ(engine.CurrentMusic(), -1);
        EXPECT_EQ(engine.Queued(), c.queuedAfterEnd);
        EXPECT_EQ(engine.StreamedBytes(), 3 * pieceBytes);
    }
}

}  // namespace
