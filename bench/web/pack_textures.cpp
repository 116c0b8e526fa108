// Packs the textures a frame recording loads (record_frames writes their
// files down) for the browser's replay floor: each decoded by the game's own
// loader, as replay.cpp decodes them, so that the floor page uploads the same
// texels without a decoder of its own.
//   pack_textures FRAMES OUT   run from a folder beside gfx/, as the game is
// OUT holds, per texture, six little-endian 32-bit numbers (slot, image
// width and height, texture width and height, byte count) and the RGBA
// texels, rows top first.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "ge/TextureLoader.h"

namespace {

bool WriteWord(FILE* out, uint32_t word) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(word), static_cast<unsigned char>(word >> 8),
                                    static_cast<unsigned char>(word >> 16),
                                    static_cast<unsigned char>(word >> 24)};
    return std::fwrite(bytes, 1, 4, out) == 4;
}

bool WriteTexture(FILE* out, int slot, const ge::TextureImage& image) {
    const uint32_t words[6] = {static_cast<uint32_t>(slot), static_cast<uint32_t>(image.imageWidth),
                               static_cast<uint32_t>(image.imageHeight), static_cast<uint32_t>(image.texWidth),
                               static_cast<uint32_t>(image.texHeight),
                               static_cast<uint32_t>(image.texels.size())};
    for (const uint32_t word : words) {
        if (!WriteWord(out, word)) {
            return false;
        }
    }
    return std::fwrite(image.texels.data(), 1, image.texels.size(), out) == image.texels.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: pack_textures FRAMES OUT\n", stderr);
        return 2;
    }
    FILE* const in = std::fopen(argv[1], "r");
    if (in == nullptr) {
        std::fprintf(stderr, "pack_textures: cannot open %s\n", argv[1]);
        return 1;
    }
    FILE* const out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "pack_textures: cannot write %s\n", argv[2]);
        return 1;
    }
    char line[8192];
    int count = 0;
    bool written = true;
    while (written && std::fgets(line, sizeof line, in) != nullptr) {
        char format[64] = "", mode[64] = "", path[1024] = "";
        int slot = 0;
        if (std::sscanf(line, "texture %d %63s %63s %1023s", &slot, format, mode, path) != 4) {
            continue;
        }
        written = WriteTexture(out, slot, std::strcmp(format, "bmp") == 0 ? ge::DecodeBmp(mode, path)
                                                                         : ge::DecodePng(path));
        ++count;
    }
    std::fclose(in);
    if (std::fclose(out) != 0 || !written || count == 0) {
        std::fprintf(stderr, "pack_textures: %s\n", count == 0 ? "no texture in the recording" : "cannot write");
        return 1;
    }
    std::printf("%d textures\n", count);
    return 0;
}
