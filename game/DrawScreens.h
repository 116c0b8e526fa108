#pragma once

#include "game/DrawPainter.h"
#include "game/GameState.h"
#include "game/TextTable.h"
#include "ie/XInputEngine.h"

// What one frame is drawn from and with.
struct DrawContext {
    GameState& state;
    const Painter painter;
    ie::XInputEngine& input;
    const int frameIndex;

    // A text in the game's language.
    const std::string& Say(TextKey key) const { return ::Say(key, state.language); }
};

// The screens of the travelling game: Travel, Arrive, InEncounter, Depart.
void DrawWorldView(const DrawContext& context);
