#pragma once

#include <cstdint>
#include <vector>

namespace ge {
class ZGraphicEngineOpenGL;
}  // namespace ge

// Load an image file into a texture slot of the process-wide graphicEngine.
// Every failure is an error line (tag "GE") that ends the program.
void LoadBmpTexture(const char* mode, int slot, const char* path);
int LoadPngTexture(const char* path, int slot);

namespace ge {

// Largest image side accepted; an 8192x8192 texture takes 256 MiB.
const int maxImageSide = 8192;

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
TextureImage DecodeBmp(const char* mode, const char* path);
TextureImage DecodePng(const char* path);

// Creates the OpenGL texture of the image and fills the renderer's slot
// (1..255). Needs the renderer's context to be current.
void UploadTexture(ZGraphicEngineOpenGL& engine, int slot, const TextureImage& image);

void LoadBmpTextureInto(ZGraphicEngineOpenGL& engine, const char* mode, int slot,
                        const char* path);
void LoadPngTextureInto(ZGraphicEngineOpenGL& engine, const char* path, int slot);

}  // namespace ge
