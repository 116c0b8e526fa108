#include "game/Random.h"

#include <ctime>

namespace {

// glibc's TYPE_3 generator: an additive feedback generator over 31 words,
// r[i] = r[i - 3] + r[i - 31] modulo 2^32, the output a word shifted right
// by one. Seeding fills the words with the Park-Miller generator
// (16807 x mod 2^31 - 1) and throws the first 310 outputs away.
const int degree = randomWords;
const int separation = 3;
const int discarded = 10 * degree;

uint32_t words[degree];
int front = separation;  // the word that receives the next sum
int rear = 0;            // the word added to it

bool seedFixed = false;
unsigned fixedSeed = 0;

// One step of 16807 x mod (2^31 - 1), in the C library's own arithmetic:
// Schrage's method on a signed 32-bit word.
int32_t ParkMiller(int32_t word) {
    const int64_t high = word / 127773;
    const int64_t low = word % 127773;
    int32_t next = static_cast<int32_t>(16807 * low - 2836 * high);
    if (next < 0) {
        next += 2147483647;
    }
    return next;
}

}  // namespace

void SetRandomSeed(uint32_t seed) {
    if (seed == 0) {
        seed = 1;
    }
    int32_t word = static_cast<int32_t>(seed);
    words[0] = seed;
    for (int i = 1; i < degree; ++i) {
        word = ParkMiller(word);
        words[i] = static_cast<uint32_t>(word);
    }
    front = separation;
    rear = 0;
    for (int i = 0; i < discarded; ++i) {
        Random();
    }
}

int32_t Random() {
    words[front] += words[rear];
    const int32_t result = static_cast<int32_t>(words[front] >> 1);
    front = (front + 1) % degree;
    rear = (rear + 1) % degree;
    return result;
}

RandomState CurrentRandomState() {
    RandomState state{};
    for (int i = 0; i < degree; ++i) {
        state.words[i] = words[i];
    }
    state.front = front;
    return state;
}

bool IsRandomState(const RandomState& state) {
    return state.front >= 0 && state.front < degree;
}

void RestoreRandomState(const RandomState& state) {
    if (!IsRandomState(state)) {
        return;
    }
    for (int i = 0; i < degree; ++i) {
        words[i] = state.words[i];
    }
    front = state.front;
    rear = (front + degree - separation) % degree;
}

void SeedRandom() {
    if (seedFixed) {
        SetRandomSeed(fixedSeed);
        return;
    }
    SetRandomSeed(static_cast<uint32_t>(std::time(nullptr)));
}

void FixRandomSeed(unsigned seed) {
    seedFixed = true;
    fixedSeed = seed;
}

void ReleaseRandomSeed() {
    seedFixed = false;
}
