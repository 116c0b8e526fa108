#pragma once

// The process-wide values both shells share: the game record and the two
// adapters the game is run through. The shell creates each once and reaches
// it through these pointers. The concrete engines behind the adapters belong
// to one shell each: app/DesktopGlobals.h, app/web/WebGlobals.h.
namespace ge {
class ZGraphicEngineAdapter;
}  // namespace ge
namespace ie {
class ZInputEngineAdapter;
}  // namespace ie
struct GameState;

extern ge::ZGraphicEngineAdapter* graphicAdapter;
extern ie::ZInputEngineAdapter* inputAdapter;
extern GameState* game;
