#pragma once

// The process-wide values: every engine, both adapters and the game record
// are created once by the shell and reached through these pointers.
namespace ge {
class ZGraphicEngineOpenGL;
class ZGraphicEngineAdapter;
}  // namespace ge
namespace ie {
class InputEngineFLTK13;
class ZInputEngineAdapter;
}  // namespace ie
namespace se {
class ZSoundEngineOpenAL;
}  // namespace se
struct GameState;

extern int displayWidth;
extern int displayHeight;

extern ge::ZGraphicEngineOpenGL* graphicEngine;
extern ge::ZGraphicEngineAdapter* graphicAdapter;
extern ie::InputEngineFLTK13* inputEngine;
extern ie::ZInputEngineAdapter* inputAdapter;
extern se::ZSoundEngineOpenAL* soundEngine;
extern GameState* game;
