#include "ge/TextureLoader.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/Log.h"
#include "ge/png/PngDecoder.h"

namespace ge {

namespace {

const char* const tag = "GE";
const size_t bmpFileHeaderSize = 14;
const size_t bmpInfoHeaderSize = 40;
const size_t bmpHeaderSize = bmpFileHeaderSize + bmpInfoHeaderSize;
const int bmpBitsPerPixel = 24;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

int32_t ReadInt32(const uint8_t* bytes) {
    const uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                           static_cast<uint32_t>(bytes[2]) << 16 |
                           static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

uint32_t ReadUint32(const uint8_t* bytes) {
    return static_cast<uint32_t>(ReadInt32(bytes));
}

int ReadUint16(const uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8;
}

void CheckImageSize(long long width, long long height) {
    if (width <= 0 || height <= 0) {
        LogError("Texture size is not valid", tag);
    }
    if (width > maxImageSide || height > maxImageSide) {
        LogError("Texture is too large", tag);
    }
}

TextureImage MakeTextureImage(int width, int height) {
    TextureImage image;
    image.imageWidth = width;
    image.imageHeight = height;
    image.texWidth = TextureSide(width);
    image.texHeight = TextureSide(height);
    image.texels.assign(static_cast<size_t>(image.texWidth) * image.texHeight * 4, 0);
    return image;
}

uint8_t* Texel(TextureImage& image, int x, int y) {
    return image.texels.data() + (static_cast<size_t>(y) * image.texWidth + x) * 4;
}

void ReadBytes(FILE* file, uint8_t* bytes, size_t count) {
    if (std::fread(bytes, 1, count, file) != count) {
        LogError("Texture file is truncated", tag);
    }
}

// Bytes in the file from its start (0 if that cannot be told).
long FileSize(FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long end = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return end > 0 ? end : 0;
}

// Bytes left in the file from where it stands (0 if that cannot be told).
long RemainingBytes(FILE* file) {
    const long here = std::ftell(file);
    const long end = FileSize(file);
    return here >= 0 && end > here ? end - here : 0;
}

// What the headers of a 24-bit uncompressed BMP say about its pixels.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t pixelOffset = 0;
};

// Pixels that start past the end are a file cut short.
void SeekPixels(FILE* file, uint32_t pixelOffset) {
    if (static_cast<uint64_t>(FileSize(file)) < pixelOffset ||
        std::fseek(file, static_cast<long>(pixelOffset), SEEK_SET) != 0) {
        LogError("Texture file is truncated", tag);
    }
}

// Reads the headers and leaves the file at the first pixel row. Accepted:
// "BM", a Windows information header (40 bytes or longer: the later versions
// only add fields behind the first 40), 24 bits per pixel, no compression,
// rows bottom first, pixels behind the headers. The OS/2 core header (12
// bytes) lays its fields out differently and is refused.
BmpLayout ReadBmpLayout(FILE* file) {
    uint8_t header[bmpHeaderSize];
    ReadBytes(file, header, bmpFileHeaderSize + 4);
    const uint8_t* const info = header + bmpFileHeaderSize;
    const uint32_t infoSize = ReadUint32(info);
    if (header[0] != 'B' || header[1] != 'M' || infoSize < bmpInfoHeaderSize) {
        LogError("Do not know this format", tag);
    }
    ReadBytes(file, header + bmpFileHeaderSize + 4, bmpInfoHeaderSize - 4);
    BmpLayout layout;
    layout.width = ReadInt32(info + 4);
    layout.height = ReadInt32(info + 8);
    layout.pixelOffset = ReadUint32(header + 10);
    const uint64_t headersEnd = uint64_t{bmpFileHeaderSize} + infoSize;
    if (ReadUint16(info + 14) != bmpBitsPerPixel || ReadInt32(info + 16) != 0 ||
        layout.height < 0 || layout.pixelOffset < headersEnd) {
        LogError("Do not know this format", tag);
    }
    SeekPixels(file, layout.pixelOffset);
    return layout;
}

// A body too short for its rows is refused before any buffer is made for it,
// so a tiny file that claims a huge picture costs nothing. The last row's
// padding may be missing.
void CheckBodyFits(FILE* file, int width, int height) {
    const long long rowBytes = static_cast<long long>(width) * 3 + width % 4;
    const long long needed = rowBytes * (height - 1) + static_cast<long long>(width) * 3;
    if (RemainingBytes(file) < needed) {
        LogError("Texture file is truncated", tag);
    }
}

// Reads the rows of a 24-bit BMP body, bottom row first, and hands each
// pixel's blue, green, red bytes to store with its upright position.
template <typename Store>
void ReadRows(FILE* file, int width, int height, Store store) {
    const size_t pixelBytes = static_cast<size_t>(width) * 3;
    const size_t padding = static_cast<size_t>(width % 4);
    std::vector<uint8_t> row(pixelBytes + padding);
    for (int i = 0; i < height; ++i) {
        // The last row's padding may be missing; its pixels may not.
        if (std::fread(row.data(), 1, row.size(), file) < pixelBytes) {
            LogError("Texture file is truncated", tag);
        }
        const int y = height - 1 - i;
        for (int x = 0; x < width; ++x) {
            store(x, y, &row[static_cast<size_t>(x) * 3]);
        }
    }
}

void MakeBlackTransparent(TextureImage& image) {
    for (int y = 0; y < image.imageHeight; ++y) {
        for (int x = 0; x < image.imageWidth; ++x) {
            uint8_t* texel = Texel(image, x, y);
            texel[3] = (texel[0] | texel[1] | texel[2]) == 0 ? 0 : 255;
        }
    }
}

// The mask's rows are read at the image's size whatever its header says;
// their blue bytes become the alpha.
void ApplyMask(TextureImage& image, const char* maskPath) {
    const File mask(std::fopen(maskPath, "rb"));
    if (!mask) {
        LogError("Cannot open texture mask file", tag);
    }
    ReadBmpLayout(mask.get());
    CheckBodyFits(mask.get(), image.imageWidth, image.imageHeight);
    ReadRows(mask.get(), image.imageWidth, image.imageHeight,
             [&image](int x, int y, const uint8_t* bgr) { Texel(image, x, y)[3] = bgr[0]; });
}

void CheckSlot(int slot) {
    if (slot < 1 || slot >= textureSlotCount) {
        LogError("Texture slot is out of range", tag);
    }
}

// The whole file, or false if it cannot be read.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    const File file(std::fopen(path, "rb"));
    if (!file) {
        return false;
    }
    bytes.clear();
    // On the heap: a browser build's stack may be as small as 64 KiB.
    std::vector<uint8_t> chunk(65536);
    size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    }
    return std::ferror(file.get()) == 0;
}

}  // namespace

int TextureSide(int side) {
    int texSide = 1;
    while (texSide < side) {
        texSide *= 2;
    }
    return texSide;
}

TextureImage DecodeBmp(const char* mode, const char* path) {
    const File file(path != nullptr ? std::fopen(path, "rb") : nullptr);
    if (!file) {
        LogError("Cannot open texture file", tag);
    }
    const BmpLayout layout = ReadBmpLayout(file.get());
    const int32_t width = layout.width;
    const int32_t height = layout.height;
    CheckImageSize(width, height);
    CheckBodyFits(file.get(), width, height);

    TextureImage image = MakeTextureImage(width, height);
    ReadRows(file.get(), width, height, [&image](int x, int y, const uint8_t* bgr) {
        uint8_t* texel = Texel(image, x, y);
        texel[0] = bgr[2];
        texel[1] = bgr[1];
        texel[2] = bgr[0];
        texel[3] = 255;
    });

    if (mode == nullptr || std::strcmp(mode, "Null") == 0) {
        return image;
    }
    if (std::strcmp(mode, "Auto") == 0) {
        MakeBlackTransparent(image);
    } else {
        ApplyMask(image, mode);
    }
    return image;
}

TextureImage DecodePng(const char* path) {
    return DecodePngWith(BuildPngDecoder(), path);
}

TextureImage DecodePngWith(const PngDecoder& decoder, const char* path) {
    const std::string failure = std::string(decoder.name) + " decoder error; cannot load " +
                                (path != nullptr ? path : "");
    if (path == nullptr) {
        LogError(failure.c_str(), tag);
    }
    std::vector<uint8_t> file;
    unsigned width = 0;
    unsigned height = 0;
    if (!ReadWholeFile(path, file) || !decoder.inspect(file, width, height)) {
        LogError(failure.c_str(), tag);
    }
    // Checked before decoding, so a huge image is never allocated.
    CheckImageSize(width, height);

    std::vector<uint8_t> pixels;
    if (!decoder.decode(file, pixels, width, height)) {
        LogError(failure.c_str(), tag);
    }
    const char* const format = "%s is decoded: W=%d H=%d";
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    std::string decoded(std::snprintf(nullptr, 0, format, path, w, h) + 1, '\0');
    std::snprintf(decoded.data(), decoded.size(), format, path, w, h);
    LogMessage(decoded.c_str(), tag);

    TextureImage image = MakeTextureImage(w, h);
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    for (int y = 0; y < h; ++y) {
        std::memcpy(Texel(image, 0, y), pixels.data() + rowBytes * y, rowBytes);
    }
    return image;
}

void LoadBmpTextureInto(XTextureStore& store, const char* mode, int slot, const char* path) {
    CheckSlot(slot);
    store.UploadTexture(slot, DecodeBmp(mode, path));
    LogMessage((std::string("Texture ") + path + " is loaded.").c_str(), tag);
}

void LoadPngTextureInto(XTextureStore& store, const char* path, int slot) {
    CheckSlot(slot);
    store.UploadTexture(slot, DecodePng(path));
    LogMessage((std::string(path) + " was loaded by " + BuildPngDecoder().name).c_str(), tag);
}

}  // namespace ge
