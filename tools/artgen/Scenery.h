#pragma once

#include "tools/artgen/Canvas.h"

#include <cstdint>
#include <vector>

namespace art {

// A fixed-seed generator, so every run paints the same texture. Draw each
// number in a statement of its own: C++ leaves the order of a call's
// arguments and of an operator's operands open, and compilers differ.
class Random final {
public:
    explicit Random(uint32_t seed) : state(seed == 0 ? 0x9E3779B9u : seed) {}
    uint32_t Next();
    int Below(int limit);              // 0 .. limit-1
    int Between(int low, int high);    // low .. high

private:
    uint32_t state;
};

const int sceneWidth = 320;
const int sceneHeight = 160;
// Rows the game draws the road, the stage marks and the hero over.
const int roadTop = 134;
const int roadBottom = 148;

// Ordered dithering between two palette colours, t from 0 (a) to 1 (b).
Colour Dither(char a, char b, double t, int x, int y);
// Vertical gradient through the colour codes of stops, rows top .. bottom-1.
void Sky(Canvas& canvas, const char* stops, int top, int bottom);
// A skyline: one top row per column, smooth hills of the given size.
std::vector<int> Ridge(Random& random, int base, int amplitude, int spacing);
// Fills below a skyline; slopes facing the light (left) get the lit colour
// along their top, slopes facing away the shade colour.
void FillRidge(Canvas& canvas, const std::vector<int>& ridge, int bottom, char body, char lit,
               char shade);
// Ground from row top down with sparse speckles, fewer on the road band.
void Ground(Canvas& canvas, int top, char body, char speckA, char speckB, int density,
            Random& random);
// A dirt band under the road with ragged, dithered edges.
void Road(Canvas& canvas, char body, char edge, char rut, Random& random);
void Cloud(Canvas& canvas, int x, int y, int size, char body, char shade);
void Stars(Canvas& canvas, int bottom, int count, Random& random);
// Pastes a pixel map, optionally outlined with the dark outline colour.
void Prop(Canvas& canvas, const char* map, int x, int y, bool outlined);
// Pastes a map so that its bottom row lands on row y, centred on x.
void PropStanding(Canvas& canvas, const char* map, int x, int y, bool outlined);

}  // namespace art
