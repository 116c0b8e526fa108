#include "se/ZMusicDecoderMpg123.h"

#include "app/Log.h"

namespace se {

namespace {

const char* const tag = "SE";

// Once the file is at its end the decoder only drains what it holds; a few
// empty drains in a row mean it holds nothing, whatever it reports.
const int drainsAtEnd = 4;

}  // namespace

ZMusicDecoderMpg123::ZMusicDecoderMpg123()
    : file(nullptr), decoder(nullptr), status(MPG123_NEED_MORE), emptyDrains(0) {
    mpg123_init();
    decoder = mpg123_parnew(nullptr, nullptr, nullptr);
    if (decoder == nullptr) {
        LogError("Cannot create mpg123 handle.", tag);
    }
    mpg123_param(decoder, MPG123_VERBOSE, 2, 0);
    // A track keeps the output format of its first frame: frames of another
    // rate or channel count (files joined together, damaged headers) are not
    // decoded. A change would leave samples of one format in a buffer labelled
    // with the next, and OpenAL refuses to queue buffers of mixed formats.
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_NO_FRANKENSTEIN, 0);
}

ZMusicDecoderMpg123::~ZMusicDecoderMpg123() {
    CloseFile();
    mpg123_delete(decoder);
}

void ZMusicDecoderMpg123::CloseFile() {
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
}

void ZMusicDecoderMpg123::Open(const std::string& name) {
    CloseFile();
    file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        LogError(("Cannot open " + name).c_str(), tag);
    }
    mpg123_close(decoder);
    if (mpg123_open_feed(decoder) != MPG123_OK) {
        LogError("Cannot init mpg123 handle.", tag);
    }
    emptyDrains = 0;
}

void ZMusicDecoderMpg123::DecoderError() const {
    const std::string text = std::string("Mpg123 error: ") + mpg123_strerror(decoder);
    LogError(text.c_str(), tag);
}

bool ZMusicDecoderMpg123::FileAtEnd() const {
    return file == nullptr || std::feof(file) || std::ferror(file);
}

PcmPiece ZMusicDecoderMpg123::Nothing() {
    if (FileAtEnd()) {
        emptyDrains++;
    }
    return PcmPiece{ pcm.data(), 0, 0, 0 };
}

// Reads the file at most once.
PcmPiece ZMusicDecoderMpg123::Decode() {
    if (status == MPG123_ERR) {
        DecoderError();
    }
    size_t produced = 0;
    if (status != MPG123_NEED_MORE) {
        status = mpg123_decode(decoder, nullptr, 0, pcm.data(), pieceSize, &produced);
    }
    if (produced < static_cast<size_t>(pieceSize)) {
        const size_t read = file != nullptr ? std::fread(input.data(), 1, pieceSize, file) : 0;
        if (read > 0) {
            size_t more = 0;
            status = mpg123_decode(decoder, input.data(), read, pcm.data() + produced,
                                   pieceSize - produced, &more);
            produced += more;
        } else if (produced == 0) {
            return Nothing();
        }
        // Nothing left to read but PCM drained from the decoder: it is the
        // tail of the track and still goes out.
    }
    if (status == MPG123_ERR) {
        DecoderError();
    }
    if (produced == 0) {
        return Nothing();
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_getformat(decoder, &rate, &channels, &encoding);
    emptyDrains = 0;
    return PcmPiece{ pcm.data(), static_cast<int>(produced), channels, static_cast<int>(rate) };
}

// True once the file is read to its end and the decoder holds nothing that
// could still become PCM: it asks for more input, or it has ended the track
// (a frame count announced in the file, or a change of format it refuses),
// or it has drained nothing a few times in a row.
bool ZMusicDecoderMpg123::IsExhausted() const {
    return FileAtEnd() &&
           (status == MPG123_NEED_MORE || status == MPG123_DONE || emptyDrains >= drainsAtEnd);
}

}  // namespace se
