#pragma once

#include "app/Globals.h"

// The desktop shell's own process-wide values: the size of the primary screen
// and the concrete engines behind the shared adapters.
namespace ge {
class ZGraphicEngineOpenGL;
}  // namespace ge
namespace ie {
class InputEngineFLTK13;
}  // namespace ie
namespace se {
class ZSoundEngineOpenAL;
}  // namespace se

extern int displayWidth;
extern int displayHeight;

extern ge::ZGraphicEngineOpenGL* graphicEngine;
extern ie::InputEngineFLTK13* inputEngine;
extern se::ZSoundEngineOpenAL* soundEngine;
