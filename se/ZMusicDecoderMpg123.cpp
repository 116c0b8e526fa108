#include "se/ZMusicDecoderMpg123.h"

#include "app/Log.h"

namespace se {

namespace {

const char* const tag = "SE";

// Once the file is at its end the decoder only drains what it holds; a few
// empty drains in a row mean it holds nothing, whatever it reports.
const int drainsAtEnd = 4;

// The decoder's notes and warnings go to standard error.
const long verbosity = 2;

}  // namespace

ZMusicDecoderMpg123::ZMusicDecoderMpg123()
    : file(nullptr), decoder(nullptr), status(MPG123_NEED_MORE), emptyDrains(0), loop(false),
      passBytes(0) {
    mpg123_init();
    decoder = mpg123_parnew(nullptr, nullptr, nullptr);
    if (decoder == nullptr) {
        LogError("Cannot create mpg123 handle.", tag);
    }
    mpg123_param(decoder, MPG123_VERBOSE, verbosity, 0);
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

bool ZMusicDecoderMpg123::Open(const std::string& name, bool looping) {
    CloseFile();
    failure.clear();
    loop = looping;
    file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        failure = "Cannot open " + name;
        return false;
    }
    return StartFeed();
}

// The decoder fed from the file's first byte, as for a new track. With the
// encoder's delay and padding that lame notes in its header, libmpg123 gives
// exactly the samples that were encoded, so passes join without a gap.
bool ZMusicDecoderMpg123::StartFeed() {
    mpg123_close(decoder);
    if (mpg123_open_feed(decoder) != MPG123_OK) {
        LogError("Cannot init mpg123 handle.", tag);
    }
    status = MPG123_NEED_MORE;
    emptyDrains = 0;
    passBytes = 0;
    return true;
}

void ZMusicDecoderMpg123::DecoderError() {
    failure = std::string("Mpg123 error: ") + mpg123_strerror(decoder);
}

bool ZMusicDecoderMpg123::FileAtEnd() const {
    return file == nullptr || std::feof(file) || std::ferror(file);
}

// The file is read to its end and the decoder holds nothing that could still
// become PCM: it asks for more input, or it has ended the track (a frame
// count announced in the file, or a change of format it refuses), or it has
// drained nothing a few times in a row.
bool ZMusicDecoderMpg123::PassEnded() const {
    return FileAtEnd() &&
           (status == MPG123_NEED_MORE || status == MPG123_DONE || emptyDrains >= drainsAtEnd);
}

PcmPiece ZMusicDecoderMpg123::Nothing() {
    if (FileAtEnd()) {
        emptyDrains++;
    }
    return PcmPiece{ pcm.data(), 0, 0, 0 };
}

// Drains what the decoder holds, then, if the piece has room, reads the file
// once and feeds what it read. Returns the bytes in the piece.
size_t ZMusicDecoderMpg123::DecodeInto(size_t produced) {
    const size_t start = produced;
    size_t more = 0;
    if (status != MPG123_NEED_MORE) {
        status = mpg123_decode(decoder, nullptr, 0, pcm.data() + produced, pieceSize - produced, &more);
        produced += more;
    }
    if (status != MPG123_ERR && produced < static_cast<size_t>(pieceSize)) {
        const size_t read = file != nullptr ? std::fread(input.data(), 1, pieceSize, file) : 0;
        if (read > 0) {
            more = 0;
            status = mpg123_decode(decoder, input.data(), read, pcm.data() + produced,
                                   pieceSize - produced, &more);
            produced += more;
        }
    }
    if (status == MPG123_ERR) {
        DecoderError();
    }
    passBytes += produced - start;
    return produced;
}

// A looping track's last PCM, then its first from a new pass, in one piece.
// A pass that gave no sound at all is not started again.
size_t ZMusicDecoderMpg123::JoinNextPass(size_t produced) {
    if (passBytes == 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        return produced;
    }
    // The decoder's notes on the file's header were told at the first pass.
    mpg123_param(decoder, MPG123_VERBOSE, 0, 0);
    StartFeed();
    // The first feed of a pass may give only the track's format.
    const int tries = 3;
    for (int i = 0; i < tries && produced < static_cast<size_t>(pieceSize) && failure.empty(); ++i) {
        produced = DecodeInto(produced);
    }
    mpg123_param(decoder, MPG123_VERBOSE, verbosity, 0);
    return produced;
}

PcmPiece ZMusicDecoderMpg123::Decode() {
    if (!failure.empty()) {
        return Nothing();
    }
    size_t produced = DecodeInto(0);
    if (loop && failure.empty() && produced < static_cast<size_t>(pieceSize) && PassEnded()) {
        produced = JoinNextPass(produced);
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

bool ZMusicDecoderMpg123::IsExhausted() const {
    return !failure.empty() || (PassEnded() && !(loop && passBytes > 0));
}

}  // namespace se
