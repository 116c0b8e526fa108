#include "app/GameRecord.h"

#include <cstdint>

#include "app/Globals.h"
#include "game/Draw.h"
#include "game/Events.h"
#include "game/GameState.h"
#include "game/Random.h"
#include "game/Rules.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ie/ZInputEngineAdapter.h"

Language chosenLanguage = Language::Russian;

bool ParseSeed(const char* text, unsigned& seed) {
    const uint64_t largest = 4294967295u;
    uint64_t value = 0;
    const char* digit = text;
    for (; *digit >= '0' && *digit <= '9'; ++digit) {
        value = value * 10 + static_cast<uint64_t>(*digit - '0');
        if (value > largest) {
            return false;
        }
    }
    if (digit == text || *digit != '\0') {
        return false;
    }
    seed = static_cast<unsigned>(value);
    return true;
}

GameState* CreateGame() {
    EncounterTable();
    SeedRandom();
    game = new GameState();
    ChooseLanguage(*game, chosenLanguage);
    return game;
}

bool UpdateGame(TickEvents& events) {
    if (game == nullptr || inputAdapter == nullptr) {
        return true;
    }
    return UpdateGame(*game, *inputAdapter, events);
}

bool UpdateGame() {
    TickEvents unheard;
    return UpdateGame(unheard);
}

void DrawGame() {
    DrawGameOn(*graphicAdapter);
}

void DrawGameOn(ge::XGraphicEngine& graphics) {
    DrawGame(*game, graphics, *inputAdapter);
}
