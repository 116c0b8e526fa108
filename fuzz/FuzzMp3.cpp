// The music stream on the real sound engine: the bytes become a music file,
// PlayMusic starts it and Update keeps the queue filled until the track ends.
// Before each Update the music source is stopped, as if the program had been
// too slow to keep up: every queued buffer then counts as played, so a whole
// file streams through in a few calls without waiting for real time.
// Each file is played twice: once restarted after its first Update, with
// buffers still queued, and once straight through; both must stream the same
// amount of sound.
#include <AL/al.h>

#include <cstdlib>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "se/ZSoundEngineOpenAL.h"

namespace {

// A 64 KB file of the smallest MP3 frames gives well under 200 buffers.
const int maxUpdates = 4000;

const int musicNumber = 3;

std::unique_ptr<se::ZSoundEngineOpenAL> engine;

ALint SourceValue(ALuint source, ALenum what) {
    ALint value = 0;
    alGetSourcei(source, what, &value);
    return value;
}

void Start(se::ZSoundEngineOpenAL& sound) {
    sound.PlayMusic(musicNumber, 1.0f, 0);
    if (sound.CurrentMusic() != musicNumber) {
        fuzz::Fail("the started track is not the current music");
    }
}

// Every queued buffer counts as played once the source is stopped.
void StarvedUpdate(se::ZSoundEngineOpenAL& sound) {
    alSourceStop(sound.MusicSource());
    sound.Update();
}

void PlayToEnd(se::ZSoundEngineOpenAL& sound) {
    const ALuint source = sound.MusicSource();
    for (int i = 0; i < maxUpdates; ++i) {
        const ALint queued = SourceValue(source, AL_BUFFERS_QUEUED);
        if (queued > 2) {
            fuzz::Fail("more than two music buffers are queued");
        }
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
        Start(*engine);
        StarvedUpdate(*engine);
        Start(*engine);
        PlayToEnd(*engine);
        const int64_t restarted = engine->StreamedBytes();
        Start(*engine);
        PlayToEnd(*engine);
        if (engine->StreamedBytes() != restarted) {
            fuzz::Fail("a restarted track streamed a different amount of sound");
        }
    } catch (const fuzz::LoggedError& error) {
        // A file may hold no sound or break the decoder; an OpenAL call must
        // never fail whatever the file holds.
        fuzz::CheckRefusal(error, "SE", { "No audio in ", "Mpg123 error: " });
        // The process would have ended here: the next input gets a new engine.
        engine.reset();
    }
    return 0;
}
