// Writes the seed corpus of the fuzz targets into a folder:
//   bmp/  24-bit BMPs of widths 1..5 behind each transparency-mode byte,
//         image and mask pairs, and files with a gap before their pixels
//         (make_corpus.sh adds the same pictures re-saved by ImageMagick);
//   png/  small PNGs written with LodePNG in several colour types;
//   wav/  tones for lame to turn into the MP3 seeds (make_corpus.sh), the
//         short ones kept as the WAV reader's seeds.
#include <lodepng.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutLe(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// A colour of pixel (x, y) that differs between neighbours, with pure black
// at every third pixel so "Auto" has something to clear.
uint8_t Channel(int x, int y, int channel, int seed) {
    if ((x + y) % 3 == 0) {
        return 0;
    }
    return static_cast<uint8_t>(40 * x + 70 * y + 90 * channel + seed);
}

// A 24-bit BMP; gap bytes lie between its headers and its pixels.
Bytes Bmp24(int width, int height, int seed, int gap = 0) {
    const int stride = width * 3 + width % 4;
    Bytes out = { 'B', 'M' };
    PutLe(out, static_cast<uint32_t>(54 + gap + stride * height), 4);
    PutLe(out, 0, 4);
    PutLe(out, static_cast<uint32_t>(54 + gap), 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<uint32_t>(width), 4);
    PutLe(out, static_cast<uint32_t>(height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, static_cast<uint32_t>(stride * height), 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    out.insert(out.end(), static_cast<size_t>(gap), 0xA5);
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) {
            for (int channel = 2; channel >= 0; --channel) {
                out.push_back(Channel(x, row, channel, seed));
            }
        }
        out.insert(out.end(), static_cast<size_t>(width % 4), 0);
    }
    return out;
}

// The input of the BMP target: a mode byte, and for a mask the image's
// length before the image and the mask.
Bytes BmpInput(uint8_t mode, const Bytes& image, const Bytes& mask) {
    Bytes out = { mode };
    if (mode == 2) {
        PutLe(out, static_cast<uint32_t>(image.size()), 2);
    }
    out.insert(out.end(), image.begin(), image.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

bool WriteBmpSeeds(const std::filesystem::path& dir) {
    bool ok = true;
    for (int width = 1; width <= 5; ++width) {
        const int height = 1 + width % 3;
        const Bytes image = Bmp24(width, height, width);
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        ok &= WriteFile(dir / ("null-" + size), BmpInput(0, image, {}));
        ok &= WriteFile(dir / ("auto-" + size), BmpInput(1, image, {}));
    }
    ok &= WriteFile(dir / "mask-3x2", BmpInput(2, Bmp24(3, 2, 7), Bmp24(3, 2, 100)));
    ok &= WriteFile(dir / "mask-4x4", BmpInput(2, Bmp24(4, 4, 11), Bmp24(4, 4, 200)));
    ok &= WriteFile(dir / "gap-3x2", BmpInput(1, Bmp24(3, 2, 5, 16), {}));
    ok &= WriteFile(dir / "mask-gap-3x2", BmpInput(2, Bmp24(3, 2, 7, 16), Bmp24(3, 2, 100, 3)));
    return ok;
}

struct PngKind {
    const char* name;
    int width;
    int height;
    LodePNGColorType type;
    unsigned bitDepth;
    unsigned interlace;
};

// The raw pixels are the file's own colour type and depth, filled with a
// byte pattern; a palette image gets a palette big enough for its depth.
bool WritePng(const std::filesystem::path& dir, const PngKind& kind) {
    lodepng::State state;
    LodePNGColorMode mode = lodepng_color_mode_make(kind.type, kind.bitDepth);
    if (kind.type == LCT_PALETTE) {
        for (unsigned i = 0; i < (1u << kind.bitDepth); ++i) {
            lodepng_palette_add(&mode, static_cast<uint8_t>(i * 50), static_cast<uint8_t>(i * 90),
                                static_cast<uint8_t>(255 - i * 30), static_cast<uint8_t>(i == 0 ? 0 : 255));
        }
    }
    lodepng_color_mode_copy(&state.info_raw, &mode);
    lodepng_color_mode_copy(&state.info_png.color, &mode);
    lodepng_color_mode_cleanup(&mode);
    state.info_png.interlace_method = kind.interlace;
    state.encoder.auto_convert = 0;
    const size_t rawSize = lodepng_get_raw_size(static_cast<unsigned>(kind.width),
                                                static_cast<unsigned>(kind.height), &state.info_raw);
    std::vector<unsigned char> pixels(rawSize);
    for (size_t i = 0; i < rawSize; ++i) {
        pixels[i] = static_cast<unsigned char>(kind.type == LCT_PALETTE ? (i * 37) % 2 * 0x55 : i * 53 + 11);
    }
    std::vector<unsigned char> png;
    if (lodepng::encode(png, pixels, static_cast<unsigned>(kind.width),
                        static_cast<unsigned>(kind.height), state) != 0) {
        return false;
    }
    return WriteFile(dir / kind.name, Bytes(png.begin(), png.end()));
}

bool WritePngSeeds(const std::filesystem::path& dir) {
    const PngKind kinds[] = {
        { "rgba-4x3.png", 4, 3, LCT_RGBA, 8, 0 },
        { "rgb-5x2.png", 5, 2, LCT_RGB, 8, 0 },
        { "grey-3x3.png", 3, 3, LCT_GREY, 8, 0 },
        { "grey-alpha-1x1.png", 1, 1, LCT_GREY_ALPHA, 8, 0 },
        { "grey1-9x2.png", 9, 2, LCT_GREY, 1, 0 },
        { "palette2-5x5.png", 5, 5, LCT_PALETTE, 2, 0 },
        { "rgb16-2x2.png", 2, 2, LCT_RGB, 16, 0 },
        { "rgba-interlaced-7x6.png", 7, 6, LCT_RGBA, 8, 1 },
    };
    bool ok = true;
    for (const PngKind& kind : kinds) {
        ok &= WritePng(dir, kind);
    }
    return ok;
}

bool WriteTone(const std::filesystem::path& path, double seconds, int rate, int channels) {
    const int frames = static_cast<int>(seconds * rate);
    const uint32_t dataSize = static_cast<uint32_t>(frames * channels * 2);
    Bytes out = { 'R', 'I', 'F', 'F' };
    PutLe(out, 36 + dataSize, 4);
    for (const char c : std::string("WAVEfmt ")) {
        out.push_back(static_cast<uint8_t>(c));
    }
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<uint32_t>(channels), 2);
    PutLe(out, static_cast<uint32_t>(rate), 4);
    PutLe(out, static_cast<uint32_t>(rate * channels * 2), 4);
    PutLe(out, static_cast<uint32_t>(channels * 2), 2);
    PutLe(out, 16, 2);
    for (const char c : std::string("data")) {
        out.push_back(static_cast<uint8_t>(c));
    }
    PutLe(out, dataSize, 4);
    for (int i = 0; i < frames; ++i) {
        const double value = 12000.0 * std::sin(2.0 * M_PI * 440.0 * i / rate);
        for (int c = 0; c < channels; ++c) {
            PutLe(out, static_cast<uint32_t>(static_cast<int16_t>(value)), 2);
        }
    }
    return WriteFile(path, out);
}

bool WriteToneSeeds(const std::filesystem::path& dir) {
    bool ok = WriteTone(dir / "mono-8000.wav", 0.3, 8000, 1);
    ok &= WriteTone(dir / "stereo-44100.wav", 0.2, 44100, 2);
    ok &= WriteTone(dir / "mono-22050.wav", 0.2, 22050, 1);
    ok &= WriteTone(dir / "stereo-44100-long.wav", 1.5, 44100, 2);
    ok &= WriteTone(dir / "mono-44100-long.wav", 3.0, 44100, 1);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus FOLDER\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    for (const char* const sub : { "bmp", "png", "wav" }) {
        std::filesystem::create_directories(out / sub);
    }
    if (!WriteBmpSeeds(out / "bmp") || !WritePngSeeds(out / "png") || !WriteToneSeeds(out / "wav")) {
        std::fprintf(stderr, "make_corpus: cannot write the seeds into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
