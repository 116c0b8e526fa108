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

bool MusicStream::SetName(int music, const std::string& name) {
    if (music < 0 || music >= musicCount) {
        return false;
    }
    names[music] = name;
    return true;
}

void MusicStream::SetVolume(float volume) {
    if (source != 0) {
        alSourcef(source, AL_GAIN, GainFromVolume(volume));
    }
}

// The track starts at once if its decoder is ready, else in the first Update
// after the decoder has answered.
void MusicStream::Play(int music, float volume) {
    if (music < 0 || music >= musicCount) {
        return;
    }
    const std::string& name = names[music];
    decoder.Open(name);
    ClearQueue();
    streamedBytes = 0;
    current = music;
    state = State::Waiting;
    if (decoder.IsReady()) {
        StartQueue();
    }
    SetVolume(volume);
    CheckStarted();
    LogMessage(("Music " + name + " is started to play").c_str(), tag);
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
            LogError(("No audio in " + names[current]).c_str(), tag);
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
