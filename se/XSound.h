#pragma once

namespace se {

// One playing sound effect, owned by the engine that started it.
class XSound {
public:
    virtual ~XSound() = default;
    virtual void Stop() = 0;
    virtual void SetVolume(float volume) = 0;
};

}  // namespace se
