#include "app/Globals.h"

ge::ZGraphicEngineAdapter* graphicAdapter = nullptr;
ie::ZInputEngineAdapter* inputAdapter = nullptr;
GameState* game = nullptr;
