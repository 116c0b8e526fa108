#include "tools/artgen/Canvas.h"

#include <lodepng.h>

#include <cstdio>

namespace art {

Canvas::Canvas(int width, int height, Colour fill)
    : width(width), height(height), pixels(static_cast<size_t>(width) * height, fill) {
}

Colour Canvas::Get(int x, int y) const {
    return Inside(x, y) ? pixels[static_cast<size_t>(y) * width + x] : clearColour;
}

void Canvas::Set(int x, int y, Colour colour) {
    if (Inside(x, y)) {
        pixels[static_cast<size_t>(y) * width + x] = colour;
    }
}

void Canvas::FillRect(int x, int y, int w, int h, Colour colour) {
    for (int j = y; j < y + h; j++) {
        for (int i = x; i < x + w; i++) {
            Set(i, j, colour);
        }
    }
}

void Canvas::FillEllipse(int cx, int cy, int rx, int ry, Colour colour) {
    if (rx <= 0 || ry <= 0) {
        return;
    }
    for (int j = -ry; j <= ry; j++) {
        for (int i = -rx; i <= rx; i++) {
            // Inside test with a half-pixel allowance keeps small ellipses round.
            const double u = (i * i) / ((rx + 0.5) * (rx + 0.5));
            const double v = (j * j) / ((ry + 0.5) * (ry + 0.5));
            if (u + v <= 1.0) {
                Set(cx + i, cy + j, colour);
            }
        }
    }
}

void Canvas::Blit(const Canvas& source, int x, int y) {
    for (int j = 0; j < source.Height(); j++) {
        for (int i = 0; i < source.Width(); i++) {
            const Colour colour = source.Get(i, j);
            if (colour.a != 0) {
                Set(x + i, y + j, colour);
            }
        }
    }
}

Canvas Canvas::Crop(int x, int y, int w, int h) const {
    Canvas result(w, h);
    for (int j = 0; j < h; j++) {
        for (int i = 0; i < w; i++) {
            result.Set(i, j, Get(x + i, y + j));
        }
    }
    return result;
}

namespace {

void PutLittle(std::string& bytes, uint32_t value, int count) {
    for (int i = 0; i < count; i++) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

}  // namespace

std::string EncodeBmp(const Canvas& canvas) {
    const int w = canvas.Width();
    const int h = canvas.Height();
    const int padding = w % 4;
    const uint32_t dataSize = static_cast<uint32_t>((w * 3 + padding) * h);

    std::string bytes;
    bytes.reserve(54 + dataSize);
    bytes += "BM";
    PutLittle(bytes, 54 + dataSize, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, 54, 4);
    PutLittle(bytes, 40, 4);
    PutLittle(bytes, static_cast<uint32_t>(w), 4);
    PutLittle(bytes, static_cast<uint32_t>(h), 4);
    PutLittle(bytes, 1, 2);
    PutLittle(bytes, 24, 2);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, dataSize, 4);
    PutLittle(bytes, 2835, 4);
    PutLittle(bytes, 2835, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, 0, 4);
    for (int y = h - 1; y >= 0; y--) {
        for (int x = 0; x < w; x++) {
            const Colour colour = canvas.Get(x, y);
            bytes.push_back(static_cast<char>(colour.b));
            bytes.push_back(static_cast<char>(colour.g));
            bytes.push_back(static_cast<char>(colour.r));
        }
        bytes.append(static_cast<size_t>(padding), '\0');
    }
    return bytes;
}

std::string EncodePng(const Canvas& canvas) {
    std::vector<unsigned char> rgba;
    rgba.reserve(canvas.Pixels().size() * 4);
    for (const Colour& colour : canvas.Pixels()) {
        rgba.push_back(colour.r);
        rgba.push_back(colour.g);
        rgba.push_back(colour.b);
        rgba.push_back(colour.a);
    }
    lodepng::State state;
    state.encoder.auto_convert = 0;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 8;
    state.info_png.color.colortype = LCT_RGBA;
    state.info_png.color.bitdepth = 8;
    std::vector<unsigned char> png;
    const unsigned error = lodepng::encode(png, rgba, static_cast<unsigned>(canvas.Width()),
                                           static_cast<unsigned>(canvas.Height()), state);
    if (error != 0) {
        std::fprintf(stderr, "artgen: PNG encoder error %u: %s\n", error, lodepng_error_text(error));
        return std::string();
    }
    return std::string(png.begin(), png.end());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    if (bytes.empty()) {
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    }
    return written && closed;
}

}  // namespace art
