#include "se/web/ZMusicDecoderWeb.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>


// The browser's MP3 decoder: decodeAudioData on an OfflineAudioContext,
// which resamples to its own rate (44100 Hz). Jobs are numbered; the decoder
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

bool ReadWholeFile(const std::string& name, std::vector<uint8_t>& bytes) {
    FILE* const file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    // On the heap: the browser's stack is 64 KiB.
    std::vector<uint8_t> chunk(XMusicDecoder::pieceSize);
    size_t read = 0;
    while ((read = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(read));
    }
    std::fclose(file);
    return true;
}

}  // namespace

ZMusicDecoderWeb::ZMusicDecoderWeb()
    : job(0), decoding(false), pcmRead(0), channels(2), rate(44100), loop(false) {
}

ZMusicDecoderWeb::~ZMusicDecoderWeb() {
    if (decoding) {
        dm_mp3_forget(job);
    }
}

bool ZMusicDecoderWeb::Open(const std::string& name, bool looping) {
    if (decoding) {
        dm_mp3_forget(job);
        decoding = false;
    }
    pcm.clear();
    pcmRead = 0;
    loop = looping;
    failure.clear();
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(name, bytes)) {
        failure = "Cannot open " + name;
        return false;
    }
    ++job;
    dm_mp3_decode(job, bytes.data(), static_cast<int>(bytes.size()));
    decoding = true;
    return true;
}

bool ZMusicDecoderWeb::IsReady() {
    if (!decoding) {
        return true;
    }
    const int state = dm_mp3_state(job);
    if (state < 0) {
        char text[256];
        dm_mp3_error(job, text, sizeof(text));
        failure = std::string("decodeAudioData error: ") + text;
        dm_mp3_forget(job);
        decoding = false;
        return true;
    }
    if (state > 0) {
        TakeTrack();
    }
    return !decoding;
}

void ZMusicDecoderWeb::TakeTrack() {
    channels = dm_mp3_channels(job);
    rate = dm_mp3_rate(job);
    pcm.assign(static_cast<size_t>(dm_mp3_frames(job)) * static_cast<size_t>(channels), 0);
    dm_mp3_take(job, pcm.data());
    decoding = false;
}

// The next whole frames of the decoded track, at most a piece.
PcmPiece ZMusicDecoderWeb::Decode() {
    const size_t samplesPerPiece = pieceSize / sizeof(int16_t);
    const size_t frameSamples = static_cast<size_t>(channels);
    const size_t wholeFrames = samplesPerPiece / frameSamples * frameSamples;
    const size_t count = std::min(wholeFrames, pcm.size() - pcmRead);
    if (loop && count < wholeFrames && !pcm.empty()) {
        return JoinNextPass(count, wholeFrames);
    }
    const PcmPiece piece{ pcm.data() + pcmRead, static_cast<int>(count * sizeof(int16_t)), channels,
                          rate };
    pcmRead += count;
    return piece;
}

// The last `tail` samples of a looping track, then its first, up to `wanted`
// samples in all.
PcmPiece ZMusicDecoderWeb::JoinNextPass(size_t tail, size_t wanted) {
    joined.assign(pcm.begin() + static_cast<std::ptrdiff_t>(pcmRead), pcm.end());
    pcmRead = std::min(wanted - tail, pcm.size());
    joined.insert(joined.end(), pcm.begin(), pcm.begin() + static_cast<std::ptrdiff_t>(pcmRead));
    return PcmPiece{ joined.data(), static_cast<int>(joined.size() * sizeof(int16_t)), channels, rate };
}

bool ZMusicDecoderWeb::IsExhausted() const {
    return !failure.empty() || (pcmRead >= pcm.size() && !(loop && !pcm.empty()));
}

}  // namespace se
