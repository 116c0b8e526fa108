#pragma once

#include <cstdint>

#include "ge/ZGraphicEngineCore.h"

namespace ge {

// The OpenGL 1.1 renderer: draws quads and bitmap-font text in the pixels of
// the window's surface, each quad as one polygon in immediate mode.
class ZGraphicEngineOpenGL final : public ZGraphicEngineCore {
public:
    // Needs the surface's OpenGL context to be current.
    ZGraphicEngineOpenGL(int width, int height);
    ~ZGraphicEngineOpenGL();

private:
    void Flush() override {}
    void BindName(uint32_t id) override;
    void DeleteName(uint32_t id) override;
    void ClearSurface(float red, float green, float blue) override;
    void Capture(int y, int width, int height) override;
    void Draw(const Quad& quad, float su, float sv) override;
};

}  // namespace ge
