// The music half of ZSoundEngineOpenAL: one MP3 file fed to libmpg123 in
// pieces of at most 32 KB, its PCM streamed through two alternating buffers.
#include "se/ZSoundEngineOpenAL.h"

#include <string>

#include "app/Log.h"

namespace se {

namespace {

const char* const tag = "SE";

}  // namespace

int ZSoundEngineOpenAL::CurrentMusic() {
    return currentMusic;
}

void ZSoundEngineOpenAL::DecoderError() const {
    const std::string text = std::string("Mpg123 error: ") + mpg123_strerror(decoder);
    LogError(text.c_str(), tag);
}

// Fills music buffer [index] with the next PCM of the track and returns its
// size in bytes, 0 when none came out. Reads the file at most once.
int ZSoundEngineOpenAL::DecodeChunk(int index) {
    if (decoderStatus == MPG123_ERR) {
        DecoderError();
    }
    size_t produced = 0;
    if (decoderStatus != MPG123_NEED_MORE) {
        decoderStatus = mpg123_decode(decoder, nullptr, 0, pcmChunk.data(), chunkSize, &produced);
    }
    if (produced < static_cast<size_t>(chunkSize)) {
        const size_t read =
            musicFile != nullptr ? std::fread(inputChunk.data(), 1, chunkSize, musicFile) : 0;
        if (read > 0) {
            size_t more = 0;
            decoderStatus = mpg123_decode(decoder, inputChunk.data(), read, pcmChunk.data() + produced,
                                          chunkSize - produced, &more);
            produced += more;
        } else if (produced == 0) {
            return 0;
        }
        // Nothing left to read but PCM drained from the decoder: it is the
        // tail of the track and still goes out.
    }
    if (decoderStatus == MPG123_ERR) {
        DecoderError();
    }
    if (produced == 0) {
        return 0;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_getformat(decoder, &rate, &channels, &encoding);
    const ALenum format = channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(musicBuffers[index], format, pcmChunk.data(), static_cast<ALsizei>(produced),
                 static_cast<ALsizei>(rate));
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during decoding chunk of stream.", tag);
    }
    streamedBytes += static_cast<int64_t>(produced);
    return static_cast<int>(produced);
}

// True once the file is read to its end and the decoder holds nothing that
// could still become PCM: it asks for more input, or it has ended the track
// (a frame count announced in the file, or a change of format it refuses).
bool ZSoundEngineOpenAL::MusicExhausted() const {
    const bool fileAtEnd = musicFile == nullptr || std::feof(musicFile) || std::ferror(musicFile);
    return fileAtEnd && (decoderStatus == MPG123_NEED_MORE || decoderStatus == MPG123_DONE);
}

void ZSoundEngineOpenAL::ClearMusicQueue() {
    alSourceStop(musicSource);
    ALint queued = 0;
    alGetSourcei(musicSource, AL_BUFFERS_QUEUED, &queued);
    for (ALint i = 0; i < queued; i++) {
        ALuint returned = 0;
        alSourceUnqueueBuffers(musicSource, 1, &returned);
    }
}

// Queues the first PCM of the track (after any tags and headers) and, if the
// track has more, the second buffer.
void ZSoundEngineOpenAL::StartMusicQueue(const std::string& name) {
    streamedBytes = 0;
    // Once the file is at its end the decoder only drains what it holds; a
    // few empty drains in a row mean it holds nothing, whatever it reports.
    const int drainsAtEnd = 4;
    int emptyDrains = 0;
    while (DecodeChunk(0) == 0) {
        const bool fileAtEnd = std::feof(musicFile) || std::ferror(musicFile);
        if (MusicExhausted() || (fileAtEnd && ++emptyDrains >= drainsAtEnd)) {
            LogError(("No audio in " + name).c_str(), tag);
        }
    }
    alSourceQueueBuffers(musicSource, 1, &musicBuffers[0]);
    if (DecodeChunk(1) > 0) {
        alSourceQueueBuffers(musicSource, 1, &musicBuffers[1]);
    }
}

void ZSoundEngineOpenAL::PlayMusic(int music, float volume, int32_t) {
    if (music < 0 || music >= musicCount) {
        return;
    }
    if (musicFile != nullptr) {
        std::fclose(musicFile);
        musicFile = nullptr;
    }
    const std::string& name = musicNames[music];
    musicFile = std::fopen(name.c_str(), "rb");
    if (musicFile == nullptr) {
        LogError(("Cannot open " + name).c_str(), tag);
    }
    if (decoder == nullptr) {
        LogError("Cannot init mpg123 handle.", tag);
    }
    mpg123_close(decoder);
    if (mpg123_open_feed(decoder) != MPG123_OK) {
        LogError("Cannot init mpg123 handle.", tag);
    }
    ClearMusicQueue();
    StartMusicQueue(name);
    alSourcePlay(musicSource);
    SetMusicVolume(volume);
    currentMusic = music;
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during starting new music.", tag);
    }
    LogMessage(("Music " + name + " is started to play").c_str(), tag);
}

void ZSoundEngineOpenAL::EndOfMusic() {
    currentMusic = -1;
    std::fputs("End of file?\n", stderr);
}

// Decodes into a buffer that came back from the source and queues it again;
// a buffer that gets nothing stays off the queue and the track ends.
bool ZSoundEngineOpenAL::RefillMusicBuffer(int index) {
    if (DecodeChunk(index) > 0) {
        alSourceQueueBuffers(musicSource, 1, &musicBuffers[index]);
        return true;
    }
    EndOfMusic();
    return false;
}

void ZSoundEngineOpenAL::UpdateMusic() {
    ALint processed = 0;
    alGetSourcei(musicSource, AL_BUFFERS_PROCESSED, &processed);
    if (processed == 1) {
        // The oldest buffer comes back first; its name says which one it is.
        ALuint returned = 0;
        alSourceUnqueueBuffers(musicSource, 1, &returned);
        const int index = returned == musicBuffers[1] ? 1 : 0;
        RefillMusicBuffer(index);
    } else if (processed == 2) {
        // Both played out before a refill: the source ran dry and stopped.
        ALuint returned[2] = { 0, 0 };
        alSourceUnqueueBuffers(musicSource, 2, returned);
        const bool first = RefillMusicBuffer(0);
        const bool second = RefillMusicBuffer(1);
        if (first || second) {
            alSourcePlay(musicSource);
        }
    }
}

}  // namespace se
