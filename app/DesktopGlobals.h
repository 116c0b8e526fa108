#pragma once

#include "app/Globals.h"

// The desktop shell's own process-wide values: the size of the primary screen,
// how often the game thread returns kept memory, and the concrete engines
// behind the shared adapters.
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

// Ticks between the game thread's returns of the memory the C library kept
// (sys::ReturnKeptMemory): ten seconds' worth unless DUNMARK_TRIM_TICKS says.
extern unsigned ticksBetweenReturns;

extern ge::ZGraphicEngineOpenGL* graphicEngine;
extern ie::InputEngineFLTK13* inputEngine;
extern se::ZSoundEngineOpenAL* soundEngine;
