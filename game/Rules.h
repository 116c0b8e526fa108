#pragma once

#include <string>

#include "game/GameState.h"

namespace ie {
class XInputEngine;
}  // namespace ie

class TickEvents;

// One tick of the game on the given record, reading the given input, noting
// in `events` what happened (game/Events.h). Always true: the game never ends
// the program by itself.
bool UpdateGame(GameState& state, ie::XInputEngine& input, TickEvents& events);
// The same tick, its events unheard.
bool UpdateGame(GameState& state, ie::XInputEngine& input);

// Makes the game speak the language from now on: the one call a shell makes
// to choose it. A game under way goes on where it is, its encounters named and
// its messages worded in the new language.
void ChooseLanguage(GameState& state, Language language);

// The CP1251 caption of button 0, 1 or 2 at an encounter of the given type
// ("" for any other button number).
const std::string& ButtonLabel(EncounterType type, int button,
                               Language language = Language::Russian);
