// The process-wide loaders: they fill the renderer that the program's own
// ge::ProcessTextureStore names.
#include "ge/TextureLoader.h"

void LoadBmpTexture(const char* mode, int slot, const char* path) {
    ge::LoadBmpTextureInto(ge::ProcessTextureStore(), mode, slot, path);
}

int LoadPngTexture(const char* path, int slot) {
    ge::LoadPngTextureInto(ge::ProcessTextureStore(), path, slot);
    return 0;
}
