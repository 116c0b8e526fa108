#pragma once

#include <cstdint>
#include <vector>

// Load an image file into a texture slot of the renderer the program draws
// with (ge::SetProcessTextureStore). Every failure is an error line (tag "GE")
// that ends the program.
void LoadBmpTexture(const char* mode, int slot, const char* path);
int LoadPngTexture(const char* path, int slot);

namespace ge {

struct PngDecoder;

// Largest image side accepted; an 8192x8192 texture takes 256 MiB.
const int maxImageSide = 8192;
// Slots 1..255 take images; slot 0 is the render texture.
const int textureSlotCount = 256;

// An image placed in the top-left corner of a power-of-two texture: RGBA
// bytes, rows top first, texWidth * texHeight * 4 of them.
struct TextureImage {
    int imageWidth = 0;
    int imageHeight = 0;
    int texWidth = 0;
    int texHeight = 0;
    std::vector<uint8_t> texels;
};

// The smallest power of two not below side (side 1..maxImageSide).
int TextureSide(int side);

// Decoders: the texture image, or an error line and the end of the program.
// DecodePng uses the PNG decoder this build was made with; its error line
// names that decoder.
TextureImage DecodeBmp(const char* mode, const char* path);
TextureImage DecodePng(const char* path);
TextureImage DecodePngWith(const PngDecoder& decoder, const char* path);

// A renderer's side of loading: makes the texture of an image and gives it
// the slot (1..255). Needs the renderer's context to be current.
class XTextureStore {
public:
    virtual void UploadTexture(int slot, const TextureImage& image) = 0;

protected:
    ~XTextureStore() = default;
};

void LoadBmpTextureInto(XTextureStore& store, const char* mode, int slot, const char* path);
void LoadPngTextureInto(XTextureStore& store, const char* path, int slot);

// The store the process-wide loaders fill: set by the program beside the
// renderer it draws with, and cleared (null) before that renderer goes.
// Without one it is the error line "Graphic Engine is not created".
void SetProcessTextureStore(XTextureStore* store);
XTextureStore& ProcessTextureStore();

}  // namespace ge
