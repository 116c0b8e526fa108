#include "game/Random.h"

#include <cstdlib>
#include <ctime>

namespace {

bool seedFixed = false;
unsigned fixedSeed = 0;

}  // namespace

void SeedRandom() {
    if (seedFixed) {
        std::srand(fixedSeed);
        return;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

void FixRandomSeed(unsigned seed) {
    seedFixed = true;
    fixedSeed = seed;
}

void ReleaseRandomSeed() {
    seedFixed = false;
}
