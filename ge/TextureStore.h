#pragma once

#include <cstdint>

#include "app/Log.h"
#include "ge/TextureLoader.h"

namespace ge {

// A renderer's side of loading, for a renderer with a table of texture slots
// (Engine::slotCount, Engine::SetTexture): makeTexture creates the texture
// of an image in the renderer's own API and names it, and the slot takes it.
template <typename Engine, uint32_t (*makeTexture)(const TextureImage&)>
class ZTextureStore final : public XTextureStore {
public:
    ZTextureStore() = default;
    explicit ZTextureStore(Engine& engine) : engine(&engine) {}

    void UploadTexture(int slot, const TextureImage& image) override {
        if (slot < 1 || slot >= Engine::slotCount) {
            LogError("Texture slot is out of range", "GE");
        }
        engine->SetTexture(slot, makeTexture(image), image.imageWidth, image.imageHeight,
                           image.texWidth, image.texHeight);
    }

private:
    Engine* engine = nullptr;
};

}  // namespace ge
