#include "tools/artgen/Scenery.h"
#include "tools/artgen/Palette.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace art {

uint32_t Random::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int Random::Below(int limit) {
    return limit <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(limit));
}

int Random::Between(int low, int high) {
    return low + Below(high - low + 1);
}

Colour Dither(char a, char b, double t, int x, int y) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const double threshold = (bayer[y & 3][x & 3] + 0.5) / 16.0;
    return Ink(t > threshold ? b : a);
}

void Sky(Canvas& canvas, const char* stops, int top, int bottom) {
    const int count = static_cast<int>(std::strlen(stops));
    for (int y = top; y < bottom; y++) {
        const double position = (count - 1) * static_cast<double>(y - top) / (bottom - top);
        const int stop = std::min(static_cast<int>(position), count - 2);
        // Hold each colour flat for most of its band and dither only the seam.
        const double t = std::clamp((position - stop - 0.55) / 0.45, 0.0, 1.0);
        for (int x = 0; x < canvas.Width(); x++) {
            canvas.Set(x, y, Dither(stops[stop], stops[stop + 1], t, x, y));
        }
    }
    // Whatever lies below the horizon keeps its last colour until painted over.
    canvas.FillRect(0, bottom, canvas.Width(), canvas.Height() - bottom, Ink(stops[count - 1]));
}

std::vector<int> Ridge(Random& random, int base, int amplitude, int spacing) {
    const int points = sceneWidth / spacing + 3;
    std::vector<double> heights(points);
    for (double& height : heights) {
        height = random.Between(-amplitude, amplitude);
    }
    std::vector<int> ridge(sceneWidth);
    for (int x = 0; x < sceneWidth; x++) {
        const int i = x / spacing;
        const double f = static_cast<double>(x % spacing) / spacing;
        const double smooth = (1.0 - std::cos(f * 3.14159265358979)) / 2.0;
        ridge[x] = base + static_cast<int>(std::lround(heights[i] * (1 - smooth) + heights[i + 1] * smooth));
    }
    return ridge;
}

void FillRidge(Canvas& canvas, const std::vector<int>& ridge, int bottom, char body, char lit,
               char shade) {
    for (int x = 0; x < canvas.Width(); x++) {
        const int top = ridge[x];
        const int before = ridge[x > 0 ? x - 1 : x];
        const int after = ridge[x + 1 < canvas.Width() ? x + 1 : x];
        const bool facingLight = after < before || (after == before && top < before);
        const bool facingAway = after > before;
        for (int y = top; y < bottom; y++) {
            char code = body;
            if (y - top < 3 && facingLight) {
                code = lit;
            } else if (y - top < 2 && facingAway) {
                code = shade;
            }
            canvas.Set(x, y, Ink(code));
        }
    }
}

void Ground(Canvas& canvas, int top, char body, char speckA, char speckB, int density,
            Random& random) {
    canvas.FillRect(0, top, canvas.Width(), canvas.Height() - top, Ink(body));
    const int count = canvas.Width() * (canvas.Height() - top) * density / 1000;
    for (int i = 0; i < count; i++) {
        const int x = random.Below(canvas.Width());
        const int y = random.Between(top, canvas.Height() - 1);
        const bool onRoad = y >= roadTop - 4 && y <= roadBottom + 3;
        if (onRoad && random.Below(4) != 0) {
            continue;
        }
        const char code = random.Below(3) == 0 ? speckB : speckA;
        canvas.Set(x, y, Ink(code));
        if (random.Below(2) == 0) {
            canvas.Set(x + 1, y, Ink(code));
        }
    }
}

void Road(Canvas& canvas, char body, char edge, char rut, Random& random) {
    int wobbleTop = 0;
    int wobbleBottom = 0;
    for (int x = 0; x < canvas.Width(); x++) {
        if (random.Below(6) == 0) {
            wobbleTop = std::clamp(wobbleTop + random.Between(-1, 1), -1, 1);
        }
        if (random.Below(6) == 0) {
            wobbleBottom = std::clamp(wobbleBottom + random.Between(-1, 1), -1, 1);
        }
        const int top = roadTop + wobbleTop;
        const int bottom = roadBottom + wobbleBottom;
        for (int y = top; y <= bottom; y++) {
            char code = body;
            if (y == top || y == bottom) {
                code = edge;
            } else if ((y == top + 3 || y == bottom - 3) && random.Below(3) != 0) {
                code = rut;
            }
            canvas.Set(x, y, Ink(code));
        }
        // A few loose pixels soften the edges.
        if (random.Below(3) == 0) {
            canvas.Set(x, top - 1, Ink(edge));
        }
        if (random.Below(3) == 0) {
            canvas.Set(x, bottom + 1, Ink(edge));
        }
    }
}

void Cloud(Canvas& canvas, int x, int y, int size, char body, char shade) {
    canvas.FillEllipse(x, y + 1, size * 2, size / 2 + 1, Ink(shade));
    canvas.FillEllipse(x - size, y, size, size / 2 + 1, Ink(body));
    canvas.FillEllipse(x + size / 2, y - size / 3, size + 1, size / 2 + 2, Ink(body));
    canvas.FillEllipse(x + size + size / 2, y, size - 1, size / 2, Ink(body));
    canvas.FillRect(x - size * 2 + 1, y + size / 2, size * 4 - 1, 1, Ink(shade));
}

void Stars(Canvas& canvas, int bottom, int count, Random& random) {
    for (int i = 0; i < count; i++) {
        const int x = random.Below(canvas.Width());
        const int y = random.Below(bottom);
        const int kind = random.Below(10);
        if (kind == 0) {
            canvas.Set(x, y, Ink('w'));
            canvas.Set(x - 1, y, Ink('c'));
            canvas.Set(x + 1, y, Ink('c'));
            canvas.Set(x, y - 1, Ink('c'));
            canvas.Set(x, y + 1, Ink('c'));
        } else {
            canvas.Set(x, y, Ink(kind < 4 ? 'w' : kind < 7 ? 'i' : 'v'));
        }
    }
}

void Prop(Canvas& canvas, const char* map, int x, int y, bool outlined) {
    Canvas prop = ParseMap(map, "scenery");
    if (outlined) {
        Canvas framed(prop.Width() + 2, prop.Height() + 2);
        framed.Blit(prop, 1, 1);
        Outline(framed, Ink('k'));
        canvas.Blit(framed, x - 1, y - 1);
    } else {
        canvas.Blit(prop, x, y);
    }
}

void PropStanding(Canvas& canvas, const char* map, int x, int y, bool outlined) {
    const Canvas prop = ParseMap(map, "scenery");
    Prop(canvas, map, x - prop.Width() / 2, y - prop.Height() + 1, outlined);
}

}  // namespace art
