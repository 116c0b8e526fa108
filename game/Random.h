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

// Seeds the generator with the current time in seconds, unless a fixed seed
// is set.
void SeedRandom();

// For tests: every later SeedRandom seeds with this value instead of the time,
// so worlds and dice games repeat. The game itself never sets one.
void FixRandomSeed(unsigned seed);
void ReleaseRandomSeed();
