#pragma once

#include <cstdint>

// The game's random numbers, from a generator of its own that gives exactly
// the sequence of the GNU C library's rand for the same seed, on every
// platform, so that a seed gives the same world everywhere. (Other C
// libraries, such as the browser's, have other sequences.)

// The largest number Random returns: 2^31 - 1, as glibc's RAND_MAX.
const int32_t randomMax = 2147483647;

// glibc's srand: a seed of 0 counts as 1.
void SetRandomSeed(uint32_t seed);

// glibc's rand: the next number, 0..randomMax.
int32_t Random();

// The generator's whole state: its 31 words and the word that receives the
// next sum (the word added to it is always three behind).
const int randomWords = 31;
struct RandomState {
    uint32_t words[randomWords];
    int32_t front;
};

// The state now, and the state set back, so that a saved run goes on with
// the very numbers it would have drawn. A front outside 0..30 is not a state.
RandomState CurrentRandomState();
bool IsRandomState(const RandomState& state);
void RestoreRandomState(const RandomState& state);

// Seeds the generator with the current time in seconds, unless a fixed seed
// is set.
void SeedRandom();

// For tests: every later SeedRandom seeds with this value instead of the time,
// so worlds and dice games repeat. The game itself never sets one.
void FixRandomSeed(unsigned seed);
void ReleaseRandomSeed();
