#pragma once

// The game draws every random number from the C library's rand. SeedRandom
// seeds it with the current time in seconds, unless a fixed seed is set.
void SeedRandom();

// For tests: every later SeedRandom seeds with this value instead of the time,
// so worlds and dice games repeat. The game itself never sets one.
void FixRandomSeed(unsigned seed);
void ReleaseRandomSeed();
