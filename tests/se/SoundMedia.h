#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "se/ZSoundEngineOpenAL.h"

namespace sound {

// Media for the sound tests live in ./se-media under the working folder and
// are made once, then shared by every test process (death-test children too).
std::string MediaPath(const std::string& name);

// Interleaved 16-bit sine tone.
std::vector<int16_t> Tone(double seconds, int rate, int channels, double frequency);
void WriteWav(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate);

// An MP3 of a 440 Hz tone made by lame, with extra lame options; cached under
// a name made of its parameters. Returns its path.
std::string ToneMp3(double seconds, int rate, int channels, const std::string& lameOptions);
// A file made from the given bytes, cached under `name`.
std::string BytesFile(const std::string& name, const std::string& bytes);

// Total 16-bit PCM bytes of an MP3 decoded in one piece, and its format.
struct Decoded {
    int64_t bytes = 0;
    long rate = 0;
    int channels = 0;
};
Decoded DecodeWhole(const std::string& path);

// Calls Update at about 60 Hz until the music source has nothing queued, or
// the time runs out. Returns whether the queue emptied.
bool StreamToEnd(se::ZSoundEngineOpenAL& engine, int timeoutMs);
void Sleep(int milliseconds);

// Polls until done() holds (returns true) or ten seconds pass (false). The
// mixer runs in real time on a thread of its own, which a busy machine may
// hold back for a while: tests wait for what it has done, not for a time.
bool WaitUntil(const std::function<bool()>& done);
// The state of an OpenAL source, for WaitUntil.
ALint SourceState(ALuint source);

// PCM samples of a WAV file written by OpenAL's wave output (16-bit).
std::vector<int16_t> ReadWavSamples(const std::string& path);
double Rms(const std::vector<int16_t>& samples);

// Sends OpenAL to its wave output in this process, writing `wavPath`.
// Only takes effect before the process opens its first device.
void UseWaveOutput(const std::string& wavPath);

// How often `line` stands in `text`.
int CountLines(const std::string& text, const std::string& line);

// Error lines go to standard output; death tests match standard error.
void StdoutToStderr();

// Resident memory of this process in bytes.
int64_t ResidentBytes();

}  // namespace sound
