#include "tests/se/SoundMedia.h"

#include <mpg123.h>
#include <unistd.h>

#include <chrono>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "tests/support/TestSupport.h"

namespace sound {

namespace {

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

uint32_t GetLe(const std::string& in, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; i--) {
        value = (value << 8) | static_cast<unsigned char>(in[at + i]);
    }
    return value;
}

// Files appear under their final name only once complete, so test processes
// running side by side never see half a file.
std::string TempName(const std::string& path) {
    return path + ".part" + std::to_string(getpid());
}

}  // namespace

std::string MediaPath(const std::string& name) {
    std::filesystem::create_directories("se-media");
    return (std::filesystem::current_path() / "se-media" / name).string();
}

std::vector<int16_t> Tone(double seconds, int rate, int channels, double frequency) {
    const int frames = static_cast<int>(seconds * rate);
    std::vector<int16_t> samples;
    samples.reserve(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; i++) {
        const double value = 12000.0 * std::sin(2.0 * M_PI * frequency * i / rate);
        for (int c = 0; c < channels; c++) {
            samples.push_back(static_cast<int16_t>(value));
        }
    }
    return samples;
}

void WriteWav(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate) {
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutLe(out, 36 + dataSize, 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, channels, 2);
    PutLe(out, rate, 4);
    PutLe(out, rate * channels * 2, 4);
    PutLe(out, channels * 2, 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, dataSize, 4);
    out.append(reinterpret_cast<const char*>(samples.data()), dataSize);
    testsupport::WriteFile(path, out);
}

std::string ToneMp3(double seconds, int rate, int channels, const std::string& lameOptions) {
    std::string name = "tone_" + std::to_string(static_cast<int>(seconds * 1000)) + "ms_" +
                       std::to_string(rate) + "_" + std::to_string(channels) + lameOptions + ".mp3";
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_') {
            c = '_';
        }
    }
    const std::string path = MediaPath(name);
    if (std::filesystem::exists(path)) {
        return path;
    }
    const std::string wav = TempName(path) + ".wav";
    const std::string part = TempName(path);
    WriteWav(wav, Tone(seconds, rate, channels, 440.0), channels, rate);
    const std::string command = "lame --quiet --nohist " + std::string(channels == 1 ? "-m m " : "-m j ") +
                                lameOptions + " '" + wav + "' '" + part + "'";
    const int status = std::system(command.c_str());
    std::filesystem::remove(wav);
    if (status != 0) {
        throw std::runtime_error("lame failed: " + command);
    }
    std::filesystem::rename(part, path);
    return path;
}

std::string BytesFile(const std::string& name, const std::string& bytes) {
    const std::string path = MediaPath(name);
    if (!std::filesystem::exists(path)) {
        const std::string part = TempName(path);
        testsupport::WriteFile(part, bytes);
        std::filesystem::rename(part, path);
    }
    return path;
}

Decoded DecodeWhole(const std::string& path) {
    const std::string bytes = testsupport::ReadFile(path);
    Decoded result;
    mpg123_handle* const handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_VERBOSE, 0, 0);
    mpg123_open_feed(handle);
    mpg123_feed(handle, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    std::vector<unsigned char> pcm(1 << 20);
    for (;;) {
        size_t done = 0;
        const int status = mpg123_read(handle, pcm.data(), pcm.size(), &done);
        result.bytes += static_cast<int64_t>(done);
        if (status == MPG123_NEW_FORMAT) {
            int encoding = 0;
            mpg123_getformat(handle, &result.rate, &result.channels, &encoding);
        } else if (status != MPG123_OK) {
            break;
        }
    }
    mpg123_delete(handle);
    return result;
}

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool WaitUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        Sleep(5);
    }
    return true;
}

ALint SourceState(ALuint source) {
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

bool StreamToEnd(se::ZSoundEngineOpenAL& engine, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        engine.Update();
        ALint queued = 0;
        alGetSourcei(engine.MusicSource(), AL_BUFFERS_QUEUED, &queued);
        if (queued == 0) {
            return true;
        }
        Sleep(16);
    }
    return false;
}

std::vector<int16_t> ReadWavSamples(const std::string& path) {
    const std::string in = testsupport::ReadFile(path);
    size_t at = 12;
    while (at + 8 <= in.size()) {
        const std::string id = in.substr(at, 4);
        const uint32_t size = GetLe(in, at + 4, 4);
        if (id == "data") {
            // A writer cut short may leave the size unset: take what is there.
            const size_t available = in.size() - (at + 8);
            const size_t bytes = size == 0 || size > available ? available : size;
            std::vector<int16_t> samples(bytes / 2);
            std::memcpy(samples.data(), in.data() + at + 8, samples.size() * 2);
            return samples;
        }
        at += 8 + size;
    }
    return {};
}

double Rms(const std::vector<int16_t>& samples) {
    if (samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (const int16_t sample : samples) {
        sum += static_cast<double>(sample) * sample;
    }
    return std::sqrt(sum / samples.size());
}

void UseWaveOutput(const std::string& wavPath) {
    const std::string conf = wavPath + ".conf";
    testsupport::WriteFile(conf, "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\ndither=false\n"
                                 "frequency=44100\n[wave]\nfile=" + wavPath + "\n");
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);
}

void StdoutToStderr() {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    int64_t size = 0;
    int64_t resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

int CountLines(const std::string& text, const std::string& line) {
    int count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
        count++;
    }
    return count;
}

}  // namespace sound
