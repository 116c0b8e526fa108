#include "app/web/WebGlobals.h"

ge::ZGraphicEngineGLES2* graphicEngine = nullptr;
ie::InputEngineHTML5* inputEngine = nullptr;
se::ZSoundEngineWeb* soundEngine = nullptr;
