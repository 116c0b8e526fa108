#pragma once

#include "ge/Quad.h"

namespace ge {

// What the game draws through. Owners destroy engines through their
// concrete class, so there is no virtual destructor.
class XGraphicEngine {
public:
    virtual void BeginFrame() = 0;
    virtual void Clear(float red, float green, float blue) = 0;
    virtual void EndFrame() = 0;
    virtual void BindTexture(int slot) = 0;
    virtual void DrawQuad(const Quad* quad) = 0;
    virtual void SetRenderTarget(int slot) = 0;
    virtual void DrawText(float x, float y, const char* text,
                          float red, float green, float blue, float alpha) = 0;

protected:
    ~XGraphicEngine() = default;
};

}  // namespace ge
