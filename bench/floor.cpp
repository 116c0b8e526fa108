// The floor the game is measured against: a bare FLTK OpenGL window of
// 640x480 that only clears and redraws at 60 Hz. Escape closes it.
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

#include <cstdio>
#include <cstdlib>

namespace {

class FloorWindow final : public Fl_Gl_Window {
public:
    FloorWindow() : Fl_Gl_Window(0, 0, 640, 480, "Dunmark floor") {}

    void draw() override {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

void Tick(void* window) {
    static_cast<FloorWindow*>(window)->redraw();
    Fl::repeat_timeout(1.0 / 60.0, Tick, window);
}

void Close(Fl_Widget*, void*) {
    std::puts("goodbye");
    std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_xywh(x, y, w, h, 0);
    FloorWindow* const window = new FloorWindow();
    window->position((w - 640) / 2, (h - 480) / 2);
    window->end();
    window->show(argc, argv);
    window->callback(Close, nullptr);
    Fl::add_timeout(1.0 / 60.0, Tick, window);
    return Fl::run();
}
