#pragma once

#include "app/Globals.h"

// The browser shell's own process-wide values: the concrete engines behind
// the shared adapters.
namespace ge {
class ZGraphicEngineGLES2;
}  // namespace ge
namespace ie {
class InputEngineHTML5;
}  // namespace ie
namespace se {
class ZSoundEngineWeb;
}  // namespace se

extern ge::ZGraphicEngineGLES2* graphicEngine;
extern ie::InputEngineHTML5* inputEngine;
extern se::ZSoundEngineWeb* soundEngine;
