#pragma once

#include <functional>

#include "tests/ge/GlTestWindow.h"

namespace estest {

// Runs body with a true OpenGL ES 2.0 context current on a 640x480 surface
// of the X display (an EGL pbuffer, RGB, no alpha, as the game window), and
// returns after it ran. False if no such context could be made. The context
// is made once and kept until the program exits; the OpenGL 1.1 test window's
// context is current again the next time that window draws.
bool RunInEsContext(const std::function<void()>& body);

// The ES surface's colour buffer, read as the test window's (row 0 at the
// top). Only inside RunInEsContext.
gltest::Pixels ReadEsPixels();

// What the context says it is, e.g. "OpenGL ES 2.0 Mesa ..." and the GLSL ES
// version line.
const char* EsVersion();

}  // namespace estest
