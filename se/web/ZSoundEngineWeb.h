#pragma once

#include "se/ZSoundEngineCore.h"
#include "se/web/ZMusicDecoderWeb.h"

namespace se {

// The browser's sound engine: the OpenAL engine, on the OpenAL that
// Emscripten provides over Web Audio, with its music decoded by the browser.
// A track starts in the first Update after the browser has decoded it, and
// its end is told once. A page without Web Audio has no device; the browser
// keeps the context suspended until the player's first click or key.
class ZSoundEngineWeb final : public ZSoundEngineCore {
public:
    ZSoundEngineWeb() : ZSoundEngineCore(decoder, TrackEnd::Once) {}

    // The page hidden and shown again: the device's audio context is
    // suspended, and resumed (ALC_SOFT_pause_device).
    void Suspend();
    void Resume();

private:
    // Made after the core and destroyed before it: the core uses it only in
    // PlayMusic and Update.
    ZMusicDecoderWeb decoder;
};

}  // namespace se
