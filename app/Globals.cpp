#include "app/Globals.h"

int displayWidth = 0;
int displayHeight = 0;

ge::ZGraphicEngineOpenGL* graphicEngine = nullptr;
ge::ZGraphicEngineAdapter* graphicAdapter = nullptr;
ie::InputEngineFLTK13* inputEngine = nullptr;
ie::ZInputEngineAdapter* inputAdapter = nullptr;
se::ZSoundEngineOpenAL* soundEngine = nullptr;
GameState* game = nullptr;
