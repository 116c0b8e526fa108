#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace gltest {

const int windowWidth = 640;
const int windowHeight = 480;

// True when an X display is there to open an OpenGL window on.
bool HasDisplay();

// Runs body once inside the draw routine of a shown 640x480 OpenGL window,
// with its context current, and returns after it ran. False if the window
// never drew.
bool RunInGlWindow(const std::function<void()>& body);

// The colour buffer being drawn, as 0xRRGGBB per pixel, row 0 at the top.
class Pixels {
public:
    static Pixels Read();
    // From 640x480 RGBA bytes as glReadPixels gives them, bottom row first.
    static Pixels FromRgbaRows(const uint8_t* bytes);
    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * windowWidth + x]; }

private:
    std::vector<uint32_t> rgb;
};

// One polygon OpenGL received, as reported in feedback mode: window
// coordinates (y up), colour and texture coordinates of each vertex.
struct FedVertex {
    float x, y;
    float r, g, b, a;
    float s, t;
};
using FedPolygon = std::vector<FedVertex>;

// Runs draw in feedback mode and returns the polygons it produced.
std::vector<FedPolygon> Feedback(const std::function<void()>& draw);

// An axis-aligned rectangle that OpenGL may have received split into
// triangles: the polygons that share a corner, merged.
struct FedRect {
    std::vector<FedVertex> corners;
    float left, right, bottom, top;

    // The corner at the given side; a missing corner fails the test.
    FedVertex Corner(bool atRight, bool atTop) const;
};
std::vector<FedRect> MergeRects(const std::vector<FedPolygon>& polygons);
std::vector<FedRect> FeedbackRects(const std::function<void()>& draw);

}  // namespace gltest

#define SKIP_WITHOUT_DISPLAY()                                          \
    do {                                                                \
        if (!gltest::HasDisplay()) {                                    \
            GTEST_SKIP() << "DISPLAY is not set: no X server to draw on"; \
        }                                                               \
    } while (0)
