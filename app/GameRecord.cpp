#include "app/GameRecord.h"

#include "app/Globals.h"
#include "game/Draw.h"
#include "game/GameState.h"
#include "game/Random.h"
#include "game/Rules.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ie/ZInputEngineAdapter.h"

Language chosenLanguage = Language::Russian;

GameState* CreateGame() {
    EncounterTable();
    SeedRandom();
    game = new GameState();
    ChooseLanguage(*game, chosenLanguage);
    return game;
}

bool UpdateGame() {
    if (game == nullptr || inputAdapter == nullptr) {
        return true;
    }
    return UpdateGame(*game, *inputAdapter);
}

void DrawGame() {
    DrawGame(*game, *graphicAdapter, *inputAdapter);
}
