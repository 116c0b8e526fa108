#include "se/MusicStream.h"

#include <cstdio>

#include "app/Log.h"
#include "se/ZSoundOpenAL.h"

namespace se {

namespace {

const char* const tag = "SE";

}  // namespace

MusicStream::MusicStream(XMusicDecoder& decoder, TrackEnd trackEnd)
    : decoder(decoder),
      trackEnd(trackEnd),
      loops{},
      current(-1),
      state(State::Idle),
      source(0),
      buffers{},
      streamedBytes(0) {
    alGenSources(1, &source);
    SetSourceDefaults(source, 1.0f, false);
    alGenBuffers(2, buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during initialization of sound engine.", tag);
    }
}

MusicStream::~MusicStream() {
    alSourceStop(source);
    alDeleteSources(1, &source);
    alDeleteBuffers(2, buffers.data());
}

bool MusicStream::SetName(int music, const std::string& name, bool loop) {
    if (music < 0 || music >= musicCount) {
        return false;
    }
    names[music] = name;
    loops[music] = loop;
    return true;
}

void MusicStream::SetVolume(float volume) {
    if (source != 0) {
        alSourcef(source, AL_GAIN, GainFromVolume(volume));
    }
}

// The track starts at once if its decoder is ready, else in the first Update
// after the decoder has answered. The track before it stops in any case.
void MusicStream::Play(int music, float volume) {
    if (music < 0 || music >= musicCount) {
        return;
    }
    const std::string& name = names[music];
    const bool opened = decoder.Open(name, loops[music]);
    ClearQueue();
    streamedBytes = 0;
    current = music;
    state = State::Waiting;
    if (!opened) {
        GiveUp(decoder.Failure());
        return;
    }
    if (decoder.IsReady()) {
        StartQueue();
    }
    SetVolume(volume);
    CheckStarted();
    if (current == music) {
        LogMessage(("Music " + name + " is started to play").c_str(), tag);
    }
}

// A track that cannot be played: said once, and the game goes on without it.
void MusicStream::GiveUp(const std::string& reason) {
    LogMessage(reason.c_str(), tag);
    current = -1;
    state = State::Idle;
}

void MusicStream::ClearQueue() {
    alSourceStop(source);
    ALint queued = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    for (ALint i = 0; i < queued; i++) {
        ALuint returned = 0;
        alSourceUnqueueBuffers(source, 1, &returned);
    }
}

// Queues the first PCM of the track (after any tags and headers) and, if the
// track has more, the second buffer, and plays them.
void MusicStream::StartQueue() {
    while (Fill(0) == 0) {
        if (decoder.IsExhausted()) {
            const std::string& failure = decoder.Failure();
            GiveUp(failure.empty() ? "No audio in " + names[current] : failure);
            return;
        }
    }
    alSourceQueueBuffers(source, 1, &buffers[0]);
    if (Fill(1) > 0) {
        alSourceQueueBuffers(source, 1, &buffers[1]);
    }
    alSourcePlay(source);
    state = State::Streaming;
}

void MusicStream::CheckStarted() const {
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during starting new music.", tag);
    }
}

// Fills buffer [index] with the next PCM of the track and returns its size
// in bytes, 0 when none came out.
int MusicStream::Fill(int index) {
    const PcmPiece piece = decoder.Decode();
    if (piece.bytes == 0) {
        return 0;
    }
    const ALenum format = piece.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(buffers[index], format, piece.samples, piece.bytes, piece.rate);
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during decoding chunk of stream.", tag);
    }
    streamedBytes += piece.bytes;
    return piece.bytes;
}

// Decodes into a buffer that came back from the source and queues it again;
// a buffer that gets nothing stays off the queue and the track ends.
bool MusicStream::Refill(int index) {
    if (state != State::Streaming) {
        return false;
    }
    if (Fill(index) > 0) {
        alSourceQueueBuffers(source, 1, &buffers[index]);
        return true;
    }
    if (!decoder.Failure().empty()) {
        // The samples already queued still play out.
        GiveUp(decoder.Failure());
        return false;
    }
    current = -1;
    if (trackEnd == TrackEnd::Once) {
        state = State::Idle;
    }
    std::fputs("End of file?\n", stderr);
    return false;
}

void MusicStream::Update() {
    if (state == State::Waiting) {
        if (decoder.IsReady()) {
            if (!decoder.Failure().empty()) {
                GiveUp(decoder.Failure());
                return;
            }
            StartQueue();
            CheckStarted();
        }
        return;
    }
    if (state == State::Streaming) {
        UpdateQueue();
    }
}

void MusicStream::UpdateQueue() {
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    if (processed == 1) {
        // The oldest buffer comes back first; its name says which one it is.
        ALuint returned = 0;
        alSourceUnqueueBuffers(source, 1, &returned);
        Refill(returned == buffers[1] ? 1 : 0);
    } else if (processed == 2) {
        // Both played out before a refill: the source ran dry and stopped.
        ALuint returned[2] = { 0, 0 };
        alSourceUnqueueBuffers(source, 2, returned);
        const bool first = Refill(0);
        const bool second = Refill(1);
        if (first || second) {
            alSourcePlay(source);
        }
    }
}

}  // namespace se
