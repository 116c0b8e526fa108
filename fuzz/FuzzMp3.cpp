// The music stream on the real sound engine: the bytes become a music file,
// PlayMusic starts it and Update keeps the queue filled until the track ends.
// Before each Update the music source is stopped, as if the program had been
// too slow to keep up: every queued buffer then counts as played, so a whole
// file streams through in a few calls without waiting for real time.
// Each file is played twice: once restarted after its first Update, with
// buffers still queued, and once straight through; both must stream the same
// amount of sound. A file the engine refuses (no sound in it, a decoder
// error) ends its track with a log line and nothing more. Then it plays as a
// looping track, which either goes on past its end or is refused.
#include <AL/al.h>

#include <cstdlib>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "se/ZSoundEngineOpenAL.h"

namespace {

// A 64 KB file of the smallest MP3 frames gives well under 200 buffers.
const int maxUpdates = 4000;

const int musicNumber = 3;
const int loopNumber = 4;

std::unique_ptr<se::ZSoundEngineOpenAL> engine;

ALint SourceValue(ALuint source, ALenum what) {
    ALint value = 0;
    alGetSourcei(source, what, &value);
    return value;
}

// False when the engine refused the track.
bool Start(se::ZSoundEngineOpenAL& sound, int music) {
    sound.PlayMusic(music, 1.0f, 0);
    return sound.CurrentMusic() == music;
}

// Every queued buffer counts as played once the source is stopped.
void StarvedUpdate(se::ZSoundEngineOpenAL& sound) {
    alSourceStop(sound.MusicSource());
    sound.Update();
}

void CheckQueue(ALuint source) {
    if (SourceValue(source, AL_BUFFERS_QUEUED) > 2) {
        fuzz::Fail("more than two music buffers are queued");
    }
}

void PlayToEnd(se::ZSoundEngineOpenAL& sound) {
    const ALuint source = sound.MusicSource();
    for (int i = 0; i < maxUpdates; ++i) {
        CheckQueue(source);
        const ALint queued = SourceValue(source, AL_BUFFERS_QUEUED);
        if (queued == 0) {
            if (sound.CurrentMusic() != -1) {
                fuzz::Fail("the queue ran empty but the music still counts as playing");
            }
            return;
        }
        StarvedUpdate(sound);
    }
    fuzz::Fail("the music never came to an end");
}

// Past the end of a looping track: it goes on, or a decoder error stops it.
void PlayLooped(se::ZSoundEngineOpenAL& sound, int64_t passBytes) {
    if (!Start(sound, loopNumber)) {
        return;
    }
    for (int i = 0; i < maxUpdates && sound.StreamedBytes() <= passBytes; ++i) {
        CheckQueue(sound.MusicSource());
        if (sound.CurrentMusic() != loopNumber) {
            return;
        }
        StarvedUpdate(sound);
    }
    if (sound.StreamedBytes() <= passBytes && sound.CurrentMusic() == loopNumber) {
        fuzz::Fail("a looping track stopped streaming without ending");
    }
}

}  // namespace

// OpenAL's silent output, mixing in short periods: stopping and closing a
// device waits for the mixer's current period, and a refused input costs a
// new device.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char config[] = "[general]\ndrivers=null\nperiod_size=64\nperiods=2\n";
    const std::string path = fuzz::WriteScratchFile(
        "alsoft.conf", reinterpret_cast<const uint8_t*>(config), sizeof config - 1);
    setenv("ALSOFT_CONF", path.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("music.mp3", data, size);
    try {
        if (!engine) {
            engine = std::make_unique<se::ZSoundEngineOpenAL>();
        }
        engine->SetMusicName(musicNumber, path);
        engine->SetMusicName(loopNumber, path, true);
        if (!Start(*engine, musicNumber)) {
            return 0;
        }
        StarvedUpdate(*engine);
        Start(*engine, musicNumber);
        PlayToEnd(*engine);
        const int64_t restarted = engine->StreamedBytes();
        Start(*engine, musicNumber);
        PlayToEnd(*engine);
        if (engine->StreamedBytes() != restarted) {
            fuzz::Fail("a restarted track streamed a different amount of sound");
        }
        PlayLooped(*engine, restarted);
    } catch (const fuzz::LoggedError& error) {
        // An OpenAL call must never fail whatever the file holds.
        fuzz::CheckRefusal(error, "SE", {});
        engine.reset();
    }
    return 0;
}
