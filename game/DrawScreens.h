#pragma once

#include "game/DrawPainter.h"
#include "game/GameState.h"
#include "ie/XInputEngine.h"

// What one frame is drawn from and with.
struct DrawContext {
    GameState& state;
    const Painter painter;
    ie::XInputEngine& input;
    const int frameIndex;
};

// The screens of the travelling game: Travel, Arrive, InEncounter, Depart.
void DrawWorldView(const DrawContext& context);

// The blinking "click to go on" line of the title and game-over screens.
const std::string& ContinuePrompt();
