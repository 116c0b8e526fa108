#include "tests/ge/GlTestWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace gltest {

namespace {

class TestGlWindow final : public Fl_Gl_Window {
public:
    TestGlWindow() : Fl_Gl_Window(0, 0, windowWidth, windowHeight, "ge test") {
        mode(FL_RGB | FL_DOUBLE);
        end();
    }

    void draw() override {
        if (body) {
            const std::function<void()> run = body;
            body = nullptr;
            run();
            drawn = true;
        }
    }

    std::function<void()> body;
    bool drawn = false;
};

TestGlWindow* TheWindow() {
    static TestGlWindow* window = nullptr;
    if (window == nullptr) {
        window = new TestGlWindow();
        window->show();
    }
    return window;
}

}  // namespace

bool HasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
}

bool RunInGlWindow(const std::function<void()>& body) {
    TestGlWindow* const window = TheWindow();
    window->body = body;
    window->drawn = false;
    window->redraw();
    for (int i = 0; i < 1000 && !window->drawn; ++i) {
        Fl::wait(0.05);
    }
    window->body = nullptr;
    return window->drawn;
}

Pixels Pixels::Read() {
    std::vector<uint8_t> bytes(static_cast<size_t>(windowWidth) * windowHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return FromRgbaRows(bytes.data());
}

Pixels Pixels::FromRgbaRows(const uint8_t* bytes) {
    Pixels pixels;
    pixels.rgb.resize(static_cast<size_t>(windowWidth) * windowHeight);
    for (int glY = 0; glY < windowHeight; ++glY) {
        const int y = windowHeight - 1 - glY;
        for (int x = 0; x < windowWidth; ++x) {
            const uint8_t* p = &bytes[(static_cast<size_t>(glY) * windowWidth + x) * 4];
            pixels.rgb[static_cast<size_t>(y) * windowWidth + x] =
                static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
        }
    }
    return pixels;
}

std::vector<FedPolygon> Feedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);

    // GL_3D_COLOR_TEXTURE in RGBA mode: x y z, r g b a, s t r q.
    const int vertexFloats = 11;
    std::vector<FedPolygon> polygons;
    for (GLint i = 0; i < count;) {
        const int token = static_cast<int>(buffer[i++]);
        if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
            continue;
        }
        if (token != GL_POLYGON_TOKEN) {
            break;
        }
        const int corners = static_cast<int>(buffer[i++]);
        FedPolygon polygon;
        for (int c = 0; c < corners; ++c, i += vertexFloats) {
            const GLfloat* v = &buffer[i];
            polygon.push_back({v[0], v[1], v[3], v[4], v[5], v[6], v[7], v[8]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

namespace {

bool SamePlace(const FedVertex& a, const FedVertex& b) {
    return a.x == b.x && a.y == b.y;
}

bool Shares(const FedRect& rect, const FedPolygon& polygon) {
    for (const FedVertex& corner : rect.corners) {
        for (const FedVertex& vertex : polygon) {
            if (SamePlace(corner, vertex)) {
                return true;
            }
        }
    }
    return false;
}

void AddCorners(FedRect& rect, const FedPolygon& polygon) {
    for (const FedVertex& vertex : polygon) {
        const bool known = std::any_of(rect.corners.begin(), rect.corners.end(),
                                       [&](const FedVertex& c) { return SamePlace(c, vertex); });
        if (!known) {
            rect.corners.push_back(vertex);
        }
    }
}

void Bound(FedRect& rect) {
    rect.left = rect.right = rect.corners[0].x;
    rect.bottom = rect.top = rect.corners[0].y;
    for (const FedVertex& c : rect.corners) {
        rect.left = std::min(rect.left, c.x);
        rect.right = std::max(rect.right, c.x);
        rect.bottom = std::min(rect.bottom, c.y);
        rect.top = std::max(rect.top, c.y);
    }
}

}  // namespace

FedVertex FedRect::Corner(bool atRight, bool atTop) const {
    const float x = atRight ? right : left;
    const float y = atTop ? top : bottom;
    for (const FedVertex& c : corners) {
        if (c.x == x && c.y == y) {
            return c;
        }
    }
    ADD_FAILURE() << "no corner at " << x << ", " << y;
    return FedVertex{};
}

std::vector<FedRect> MergeRects(const std::vector<FedPolygon>& polygons) {
    std::vector<FedRect> rects;
    for (const FedPolygon& polygon : polygons) {
        if (rects.empty() || !Shares(rects.back(), polygon)) {
            rects.push_back(FedRect{});
        }
        AddCorners(rects.back(), polygon);
    }
    for (FedRect& rect : rects) {
        Bound(rect);
    }
    return rects;
}

std::vector<FedRect> FeedbackRects(const std::function<void()>& draw) {
    return MergeRects(Feedback(draw));
}

}  // namespace gltest
