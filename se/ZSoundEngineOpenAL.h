#pragma once

#include "se/ZMusicDecoderMpg123.h"
#include "se/ZSoundEngineCore.h"

namespace se {

// The desktop's sound engine: the OpenAL engine with its music decoded by
// libmpg123 as the file streams. Each buffer that comes back to find the
// track at its end tells so.
class ZSoundEngineOpenAL final : public ZSoundEngineCore {
public:
    ZSoundEngineOpenAL() : ZSoundEngineCore(decoder, TrackEnd::EveryEmptyBuffer) {}

private:
    // Made after the core and destroyed before it: the core uses it only in
    // PlayMusic and Update.
    ZMusicDecoderMpg123 decoder;
};

}  // namespace se
