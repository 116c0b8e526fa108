#include "app/DesktopGlobals.h"

int displayWidth = 0;
int displayHeight = 0;

unsigned ticksBetweenReturns = 600;

ge::ZGraphicEngineOpenGL* graphicEngine = nullptr;
ie::InputEngineFLTK13* inputEngine = nullptr;
se::ZSoundEngineOpenAL* soundEngine = nullptr;
