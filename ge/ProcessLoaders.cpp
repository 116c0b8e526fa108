// The process-wide loaders: they fill the store the program set beside the
// renderer it draws with.
#include "app/Log.h"
#include "ge/TextureLoader.h"

namespace {

ge::XTextureStore* processStore = nullptr;

}  // namespace

void ge::SetProcessTextureStore(XTextureStore* store) {
    processStore = store;
}

ge::XTextureStore& ge::ProcessTextureStore() {
    if (processStore == nullptr) {
        LogError("Graphic Engine is not created", "GE");
    }
    return *processStore;
}

void LoadBmpTexture(const char* mode, int slot, const char* path) {
    ge::LoadBmpTextureInto(ge::ProcessTextureStore(), mode, slot, path);
}

int LoadPngTexture(const char* path, int slot) {
    ge::LoadPngTextureInto(ge::ProcessTextureStore(), path, slot);
    return 0;
}
