#pragma once

#include "game/TextTable.h"

struct GameState;
class TickEvents;
namespace ge {
class XGraphicEngine;
}  // namespace ge

// The shell's side of the game: the process-wide record and the two calls
// that run the game on it with the process-wide adapters (app/Globals.h).
// The game itself only ever takes a record and engines as arguments.

// The language CreateGame gives the record: Russian unless main chose
// another from the command line.
extern Language chosenLanguage;

// DUNMARK_SEED, a testing aid: its value, a whole number from 0 to
// 4294967295 in decimal digits, becomes the seed of every world and game of
// dice instead of the clock. False, with seed untouched, for anything else.
bool ParseSeed(const char* text, unsigned& seed);

// Seeds the random numbers, creates the record on its title screen, in the
// chosen language, and stores it in `game`.
GameState* CreateGame();

// One tick of the rules on `game`, reading `inputAdapter`, noting what
// happened in `events` (none while nothing has been created yet). Always
// true: the game never ends the program itself.
bool UpdateGame(TickEvents& events);
bool UpdateGame();

// One frame of `game` through `graphicAdapter` (or the given engine), lit
// by `inputAdapter`.
void DrawGame();
void DrawGameOn(ge::XGraphicEngine& graphics);
