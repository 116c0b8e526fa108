#include "se/web/ZSoundEngineWeb.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "app/Log.h"

// The browser's MP3 decoder: decodeAudioData on an OfflineAudioContext,
// which resamples to its own rate (44100 Hz). Jobs are numbered; the engine
// polls a job's state and then takes its samples as 16-bit PCM.
EM_JS(void, dm_mp3_decode, (int job, const uint8_t* bytes, int size), {
    const jobs = Module.dunmarkMp3Jobs || (Module.dunmarkMp3Jobs = {});
    const copy = HEAPU8.slice(bytes, bytes + size).buffer;
    const Offline = self.OfflineAudioContext || self.webkitOfflineAudioContext;
    const entry = {state : 0};
    jobs[job] = entry;
    if (!Offline) {
        entry.state = -1;
        entry.error = "no OfflineAudioContext";
        return;
    }
    const decoder = new Offline(2, 1, 44100);
    decoder.decodeAudioData(copy).then(
        function(audio) {
            entry.audio = audio;
            entry.state = 1;
        },
        function(error) {
            entry.state = -1;
            entry.error = String(error && error.message ? error.message : error);
        });
});

// 0 while decoding, 1 when done, -1 on failure.
EM_JS(int, dm_mp3_state, (int job), { return Module.dunmarkMp3Jobs[job].state; });

EM_JS(int, dm_mp3_channels, (int job), {
    return Math.min(2, Module.dunmarkMp3Jobs[job].audio.numberOfChannels);
});

EM_JS(int, dm_mp3_rate, (int job), { return Module.dunmarkMp3Jobs[job].audio.sampleRate; });

EM_JS(int, dm_mp3_frames, (int job), { return Module.dunmarkMp3Jobs[job].audio.length; });

// Writes the error text into text: at most size - 1 bytes, each character
// outside ASCII as '?', and a zero.
EM_JS(void, dm_mp3_error, (int job, char* text, int size), {
    const error = Module.dunmarkMp3Jobs[job].error || "";
    const length = Math.min(error.length, size - 1);
    for (let i = 0; i < length; i++) {
        const code = error.charCodeAt(i);
        HEAPU8[text + i] = code < 128 ? code : 63;
    }
    HEAPU8[text + length] = 0;
});

// Writes the job's frames as interleaved 16-bit samples and forgets the job.
EM_JS(void, dm_mp3_take, (int job, int16_t* samples), {
    const audio = Module.dunmarkMp3Jobs[job].audio;
    const channels = Math.min(2, audio.numberOfChannels);
    const frames = audio.length;
    for (let c = 0; c < channels; c++) {
        const data = audio.getChannelData(c);
        let at = (samples >> 1) + c;
        for (let i = 0; i < frames; i++, at += channels) {
            const s = Math.max(-1, Math.min(1, data[i]));
            HEAP16[at] = s < 0 ? Math.round(s * 32768) : Math.round(s * 32767);
        }
    }
    delete Module.dunmarkMp3Jobs[job];
});

EM_JS(void, dm_mp3_forget, (int job), {
    if (Module.dunmarkMp3Jobs) delete Module.dunmarkMp3Jobs[job];
});

namespace se {

namespace {

const char* const tag = "SE";

void SetSourceDefaults(ALuint source, float gain, bool loop) {
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_GAIN, gain);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 2.0f);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
}

bool ReadWholeFile(const std::string& name, std::vector<uint8_t>& bytes) {
    FILE* const file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    uint8_t chunk[ZSoundEngineWeb::chunkSize];
    size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + read);
    }
    std::fclose(file);
    return true;
}

}  // namespace

ZSoundEngineWeb::ZSoundEngineWeb()
    : device(nullptr),
      context(nullptr),
      soundBuffers{},
      currentMusic(-1),
      musicSource(0),
      musicBuffers{},
      musicState(MusicState::None),
      decodeId(0),
      pcmRead(0),
      channels(2),
      rate(44100),
      streamedBytes(0) {
    LogMessage("Start creating Sound Engine", tag);
    CreateDevice();
    CreateMusicSource();
    LogMessage("Sound Engine is created!", tag);
}

ZSoundEngineWeb::~ZSoundEngineWeb() {
    LogMessage("Killing Sound Engine...", tag);
    ReleaseSounds();
    ReleaseMusic();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    LogMessage("Sound Engine is destroyed!", tag);
}

// A page without Web Audio has no device. The browser keeps the context
// suspended until the player's first click or key, which resumes it.
void ZSoundEngineWeb::CreateDevice() {
    device = alcOpenDevice(nullptr);
    if (device == nullptr) {
        LogError("Cannot open device", tag);
    }
    context = alcCreateContext(device, nullptr);
    if (context == nullptr) {
        LogError("Cannot create context", tag);
    }
    alcMakeContextCurrent(context);
}

void ZSoundEngineWeb::CreateMusicSource() {
    const ALfloat orientation[6] = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alListenerfv(AL_ORIENTATION, orientation);

    alGenSources(1, &musicSource);
    SetSourceDefaults(musicSource, 1.0f, false);
    alGenBuffers(2, musicBuffers.data());
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during initializarion of sound engine.", tag);
    }
}

void ZSoundEngineWeb::ReleaseSounds() {
    for (ZSoundOpenAL* const sound : activeSounds) {
        delete sound;
    }
    activeSounds.clear();
    for (ALuint& buffer : soundBuffers) {
        if (buffer != 0) {
            alDeleteBuffers(1, &buffer);
            buffer = 0;
        }
    }
}

void ZSoundEngineWeb::ReleaseMusic() {
    if (musicState == MusicState::Decoding) {
        dm_mp3_forget(decodeId);
    }
    alSourceStop(musicSource);
    alDeleteSources(1, &musicSource);
    alDeleteBuffers(2, musicBuffers.data());
}

bool ZSoundEngineWeb::SetMusicName(int music, const std::string& name) {
    if (music < 0 || music >= musicCount) {
        return false;
    }
    musicNames[music] = name;
    return true;
}

int ZSoundEngineWeb::CurrentMusic() {
    return currentMusic;
}

void ZSoundEngineWeb::SetMusicVolume(float volume) {
    if (musicSource != 0) {
        alSourcef(musicSource, AL_GAIN, GainFromVolume(volume));
    }
}

XSound* ZSoundEngineWeb::PlaySound(int sound, float volume, bool loop) {
    if (sound < 0 || sound >= soundCount) {
        return nullptr;
    }
    if (!loop && !startedThisTick.insert(sound).second) {
        return nullptr;
    }
    ALuint source = 0;
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(soundBuffers[sound]));
    SetSourceDefaults(source, GainFromVolume(volume), loop);
    alSourcePlay(source);
    ZSoundOpenAL* const played = new ZSoundOpenAL(source);
    activeSounds.insert(played);
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during playing sound.", tag);
    }
    return played;
}

void ZSoundEngineWeb::StopAllSounds() {
    while (!activeSounds.empty()) {
        const auto first = activeSounds.begin();
        delete *first;
        activeSounds.erase(first);
    }
    startedThisTick.clear();
}

void ZSoundEngineWeb::Update() {
    UpdateMusic();
    startedThisTick.clear();
    ReapFinishedSounds();
}

void ZSoundEngineWeb::ReapFinishedSounds() {
    std::vector<ZSoundOpenAL*> finished;
    for (ZSoundOpenAL* const sound : activeSounds) {
        if (sound->IsStopped()) {
            finished.push_back(sound);
        }
    }
    for (ZSoundOpenAL* const sound : finished) {
        activeSounds.erase(sound);
        delete sound;
    }
}

void ZSoundEngineWeb::ClearMusicQueue() {
    alSourceStop(musicSource);
    ALint queued = 0;
    alGetSourcei(musicSource, AL_BUFFERS_QUEUED, &queued);
    for (ALint i = 0; i < queued; i++) {
        ALuint returned = 0;
        alSourceUnqueueBuffers(musicSource, 1, &returned);
    }
}

// The track is handed whole to the browser's decoder; its PCM starts playing
// in the first Update after the decoder has answered.
void ZSoundEngineWeb::PlayMusic(int music, float volume, int32_t) {
    if (music < 0 || music >= musicCount) {
        return;
    }
    const std::string& name = musicNames[music];
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(name, bytes)) {
        LogError(("Cannot open " + name).c_str(), tag);
    }
    if (musicState == MusicState::Decoding) {
        dm_mp3_forget(decodeId);
    }
    ClearMusicQueue();
    pcm.clear();
    pcmRead = 0;
    streamedBytes = 0;
    ++decodeId;
    dm_mp3_decode(decodeId, bytes.data(), static_cast<int>(bytes.size()));
    musicState = MusicState::Decoding;
    SetMusicVolume(volume);
    currentMusic = music;
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during starting new music.", tag);
    }
    LogMessage(("Music " + name + " is started to play").c_str(), tag);
}

void ZSoundEngineWeb::TakeDecodedTrack() {
    channels = dm_mp3_channels(decodeId);
    rate = dm_mp3_rate(decodeId);
    pcm.assign(static_cast<size_t>(dm_mp3_frames(decodeId)) * static_cast<size_t>(channels), 0);
    dm_mp3_take(decodeId, pcm.data());
    musicState = MusicState::Streaming;
    if (DecodeChunk(0) == 0) {
        LogError(("No audio in " + musicNames[currentMusic]).c_str(), tag);
    }
    alSourceQueueBuffers(musicSource, 1, &musicBuffers[0]);
    if (DecodeChunk(1) > 0) {
        alSourceQueueBuffers(musicSource, 1, &musicBuffers[1]);
    }
    alSourcePlay(musicSource);
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during starting new music.", tag);
    }
}

// Puts the next piece of the decoded track into music buffer [index];
// returns its size in bytes, 0 at the end of the track.
int ZSoundEngineWeb::DecodeChunk(int index) {
    const size_t samplesPerChunk = chunkSize / sizeof(int16_t);
    const size_t frameSamples = static_cast<size_t>(channels);
    const size_t wholeFrames = samplesPerChunk / frameSamples * frameSamples;
    const size_t count = std::min(wholeFrames, pcm.size() - pcmRead);
    if (count == 0) {
        return 0;
    }
    const ALenum format = channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    const int bytes = static_cast<int>(count * sizeof(int16_t));
    alBufferData(musicBuffers[index], format, pcm.data() + pcmRead, bytes, rate);
    if (alGetError() != AL_NO_ERROR) {
        LogError("Failed during decoding chunk of stream.", tag);
    }
    pcmRead += count;
    streamedBytes += bytes;
    return bytes;
}

bool ZSoundEngineWeb::RefillMusicBuffer(int index) {
    if (DecodeChunk(index) > 0) {
        alSourceQueueBuffers(musicSource, 1, &musicBuffers[index]);
        return true;
    }
    currentMusic = -1;
    std::fputs("End of file?\n", stderr);
    return false;
}

void ZSoundEngineWeb::UpdateMusic() {
    if (musicState == MusicState::Decoding) {
        const int state = dm_mp3_state(decodeId);
        if (state < 0) {
            char text[256];
            dm_mp3_error(decodeId, text, sizeof(text));
            LogError((std::string("decodeAudioData error: ") + text).c_str(), tag);
        }
        if (state > 0) {
            TakeDecodedTrack();
        }
        return;
    }
    if (musicState != MusicState::Streaming) {
        return;
    }
    ALint processed = 0;
    alGetSourcei(musicSource, AL_BUFFERS_PROCESSED, &processed);
    if (processed == 1) {
        ALuint returned = 0;
        alSourceUnqueueBuffers(musicSource, 1, &returned);
        RefillMusicBuffer(returned == musicBuffers[1] ? 1 : 0);
    } else if (processed == 2) {
        ALuint returned[2] = {0, 0};
        alSourceUnqueueBuffers(musicSource, 2, returned);
        const bool first = RefillMusicBuffer(0);
        const bool second = RefillMusicBuffer(1);
        if (first || second) {
            alSourcePlay(musicSource);
        }
    }
}

}  // namespace se
