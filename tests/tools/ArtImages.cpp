#include "tests/tools/ArtImages.h"

#include <lodepng.h>

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace arttest {

uint32_t Image::Pixel(int x, int y) const {
    const uint8_t* p = At(x, y);
    return (static_cast<uint32_t>(p[3]) << 24) | (p[0] << 16) | (p[1] << 8) | p[2];
}

namespace {

uint32_t Little(const std::string& bytes, size_t offset, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; i--) {
        value = (value << 8) | static_cast<uint8_t>(bytes[offset + i]);
    }
    return value;
}

std::string ParentOf(const std::string& path, int levels) {
    std::string result = path;
    for (int i = 0; i < levels; i++) {
        result = result.substr(0, result.find_last_of('/'));
    }
    return result;
}

// The test runner names the trees in the environment; when it does not, the
// build tree holds this program in tests/ and the build names the source tree.
std::string BuildDir() {
    const char* value = std::getenv("DUNMARK_BUILD_DIR");
    if (value != nullptr && value[0] != '\0') {
        return value;
    }
    char self[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    return length > 0 ? ParentOf(std::string(self, static_cast<size_t>(length)), 2) : ".";
}

std::string SourceDir() {
    const char* value = std::getenv("DUNMARK_SOURCE_DIR");
    if (value != nullptr && value[0] != '\0') {
        return value;
    }
    return DUNMARK_SOURCE_TREE;
}

}  // namespace

Image ReadBmp(const std::string& bytes, std::string& problem) {
    Image image;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        problem = "not a BMP file";
        return image;
    }
    const int width = static_cast<int32_t>(Little(bytes, 18, 4));
    const int height = static_cast<int32_t>(Little(bytes, 22, 4));
    if (Little(bytes, 28, 2) != 24 || Little(bytes, 30, 4) != 0) {
        problem = "not 24-bit uncompressed";
        return image;
    }
    if (Little(bytes, 10, 4) != 54 || width <= 0 || height <= 0) {
        problem = "pixels do not follow the 54-byte header, or a bottom-up size is missing";
        return image;
    }
    const size_t rowBytes = static_cast<size_t>(width) * 3 + width % 4;
    if (bytes.size() != 54 + rowBytes * height) {
        problem = "file length does not match its size and row padding";
        return image;
    }
    image.width = width;
    image.height = height;
    image.rgba.resize(static_cast<size_t>(width) * height * 4);
    for (int row = 0; row < height; row++) {
        const size_t start = 54 + rowBytes * row;
        const int y = height - 1 - row;
        for (int x = 0; x < width; x++) {
            uint8_t* p = &image.rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(bytes[start + x * 3 + 2]);
            p[1] = static_cast<uint8_t>(bytes[start + x * 3 + 1]);
            p[2] = static_cast<uint8_t>(bytes[start + x * 3]);
            p[3] = 255;
        }
    }
    return image;
}

Image ReadPng(const std::string& path, std::string& problem) {
    Image image;
    std::vector<unsigned char> pixels;
    unsigned width = 0;
    unsigned height = 0;
    const unsigned error = lodepng::decode(pixels, width, height, path, LCT_RGBA, 8);
    if (error != 0) {
        problem = lodepng_error_text(error);
        return image;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgba.assign(pixels.begin(), pixels.end());
    return image;
}

bool HasInk(const Image& image, const Cell& cell) {
    for (int y = cell.y; y < cell.y + cell.h; y++) {
        for (int x = cell.x; x < cell.x + cell.w; x++) {
            if (!image.IsBlack(x, y) && !image.IsClear(x, y)) {
                return true;
            }
        }
    }
    return false;
}

bool SamePixels(const Image& image, const Cell& a, const Cell& b) {
    for (int y = 0; y < a.h; y++) {
        for (int x = 0; x < a.w; x++) {
            if (image.Pixel(a.x + x, a.y + y) != image.Pixel(b.x + x, b.y + y)) {
                return false;
            }
        }
    }
    return true;
}

std::string GfxPath(const std::string& file) {
    return BuildDir() + "/gfx/" + file;
}

std::string BuildPath(const std::string& file) {
    return BuildDir() + "/" + file;
}

std::string SourcePath(const std::string& file) {
    return SourceDir() + "/" + file;
}

std::string GeneratorPath() {
    return BuildDir() + "/tools/artgen";
}

std::vector<std::string> StringLiterals(const std::string& source) {
    std::vector<std::string> literals;
    size_t i = 0;
    const size_t n = source.size();
    while (i < n) {
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            i = i == std::string::npos ? n : i;
        } else if (source.compare(i, 2, "/*") == 0) {
            i = source.find("*/", i + 2);
            i = i == std::string::npos ? n : i + 2;
        } else if (source[i] == '\'') {
            for (i++; i < n && source[i] != '\''; i++) {
                i += source[i] == '\\' ? 1 : 0;
            }
            i++;
        } else if (source[i] == '"') {
            std::string text;
            for (i++; i < n && source[i] != '"'; i++) {
                if (source[i] != '\\' || i + 1 >= n) {
                    text += source[i];
                    continue;
                }
                const char escaped = source[++i];
                text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            }
            i++;
            literals.push_back(text);
        } else {
            i++;
        }
    }
    return literals;
}

std::string ToCp1251(const std::string& utf8) {
    struct Mark {
        uint32_t code;
        uint8_t byte;
    };
    static const Mark marks[] = {
        {0x0401, 0xA8}, {0x0451, 0xB8}, {0x2116, 0xB9}, {0x00AB, 0xAB}, {0x00BB, 0xBB},
        {0x2013, 0x96}, {0x2014, 0x97}, {0x2026, 0x85}, {0x00B0, 0xB0},
    };
    std::string bytes;
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t lead = static_cast<uint8_t>(utf8[i]);
        uint32_t code = lead;
        int length = 1;
        if (lead >= 0xC0 && lead < 0xE0 && i + 1 < utf8.size()) {
            code = ((lead & 0x1Fu) << 6) | (utf8[i + 1] & 0x3Fu);
            length = 2;
        } else if (lead >= 0xE0 && lead < 0xF0 && i + 2 < utf8.size()) {
            code = ((lead & 0x0Fu) << 12) | ((utf8[i + 1] & 0x3Fu) << 6) | (utf8[i + 2] & 0x3Fu);
            length = 3;
        } else if (lead >= 0x80) {
            code = '?';
        }
        i += length;
        char byte = '?';
        if (code < 0x80) {
            byte = static_cast<char>(code);
        } else if (code >= 0x0410 && code <= 0x044F) {
            byte = static_cast<char>(0xC0 + code - 0x0410);
        } else {
            for (const Mark& mark : marks) {
                byte = mark.code == code ? static_cast<char>(mark.byte) : byte;
            }
        }
        bytes += byte;
    }
    return bytes;
}

}  // namespace arttest
