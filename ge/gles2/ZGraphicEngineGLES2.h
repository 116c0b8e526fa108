#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ge/ZGraphicEngineCore.h"

namespace ge {

// The OpenGL ES 2.0 (WebGL 1) renderer: the same pictures as the OpenGL 1.1
// renderer, drawn with one shader program. Quads are two triangles with the
// texture times the vertex colour, blended by alpha. The shader picks each
// pixel's texel and rounds the colour product itself (Shaders.cpp) instead of
// leaving them to the implementation's sampler and arithmetic. The quads given
// between two changes of state are held back and drawn in one call, in their
// order.
class ZGraphicEngineGLES2 final : public ZGraphicEngineCore {
public:
    // Needs an OpenGL ES 2.0 context current on the surface, which it then
    // draws on; so does the destructor, which deletes what it made.
    ZGraphicEngineGLES2(int width, int height);
    ~ZGraphicEngineGLES2();

    // Which texel a pixel centre exactly on the border between two gets. The
    // one after the border is the renderer's rule, the same on every
    // implementation; the one before it lets tests find where the choice
    // shows. (OpenGL 1.1 on Mesa takes either, as its rounding falls.)
    enum class BorderTexel { After, Before };
    void ChooseBorderTexel(BorderTexel choice);

private:
    void CreateProgram();
    void Flush() override;
    void BindName(uint32_t id) override;
    void DeleteName(uint32_t id) override;
    void ClearSurface(float red, float green, float blue) override;
    void Capture(int y, int width, int height) override;
    void Draw(const Quad& quad, float su, float sv) override;

    uint32_t program;
    uint32_t vertexBuffer;
    int texSizeLocation;
    int borderBiasLocation;
    // The corners of the quads held back, as the vertex buffer takes them,
    // and the texture they are drawn from: the name and its size.
    std::vector<float> pending;
    uint32_t pendingTexture;
    float pendingWidth;
    float pendingHeight;
    size_t bufferBytes;
};

}  // namespace ge
