#pragma once

#include <cstdint>

#include "game/GameState.h"
#include "ge/XGraphicEngine.h"
#include "ie/XInputEngine.h"

// Draws one frame of the game in virtual-screen coordinates. Besides drawing
// it advances animFrame, ages the popups it shows and drops the spent ones.
void DrawGame(GameState& state, ge::XGraphicEngine& graphics, ie::XInputEngine& input);

// Creature animation frame for an (already advanced) animFrame: 0, 1, 2, 1,
// 32 frames each.
int AnimationFrameIndex(int32_t animFrame);

// A pointer reading in 640x480 game coordinates to a virtual-screen
// coordinate: halved, truncating toward zero.
int VirtualPointer(int gameCoordinate);
