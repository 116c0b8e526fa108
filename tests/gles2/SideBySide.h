#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ge/TextureLoader.h"
#include "ge/XGraphicEngine.h"
#include "tests/ge/GlTestWindow.h"
#include "tests/support/RecordingGraphicEngine.h"

// Draws the same calls with the OpenGL 1.1 renderer (the test window) and
// with the OpenGL ES 2.0 renderer (an ES context) and compares the pictures.
namespace sidebyside {

using DrawList = std::vector<testsupport::GraphicCall>;

// A texture both renderers get in the same slot.
struct SlotImage {
    int slot;
    ge::TextureImage image;
};

// The game's twelve pictures from the build's gfx/, in their slots.
std::vector<SlotImage> GameArt();

// Makes the calls on engine, in order.
void Replay(const DrawList& calls, ge::XGraphicEngine& engine);

// The lists drawn one after another by one renderer of each kind, given the
// textures; the pixels after each list. Empty if a renderer could not be made.
std::vector<gltest::Pixels> DrawWithOpenGL(const std::vector<SlotImage>& textures,
                                           const std::vector<DrawList>& lists);
std::vector<gltest::Pixels> DrawWithGLES2(const std::vector<SlotImage>& textures,
                                          const std::vector<DrawList>& lists);

// How two pictures differ.
struct Difference {
    int pixels = 0;        // pixels that differ at all
    int largest = 0;       // the largest difference in one channel
    int firstX = -1;       // the first differing pixel, row by row
    int firstY = -1;
    uint32_t expected = 0;
    uint32_t actual = 0;
};
Difference Compare(const gltest::Pixels& expected, const gltest::Pixels& actual);
std::string Describe(const Difference& difference);

}  // namespace sidebyside
