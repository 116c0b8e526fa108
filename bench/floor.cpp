// The floor the game is measured against: a bare FLTK OpenGL window of
// 640x480 that only clears and redraws at 60 Hz. Each release of a mouse
// button changes its colour and redraws it at once: the floor of the click
// latency. Escape closes it.
//   floor [X Y]   centred on the screen, or with its top-left corner at X, Y
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
        const float grey = lit ? 0.5f : 0.0f;
        glClearColor(grey, grey, grey, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    int handle(int event) override {
        if (event == FL_PUSH) {
            return 1;
        }
        if (event == FL_RELEASE) {
            lit = !lit;
            redraw();
            return 1;
        }
        return Fl_Gl_Window::handle(event);
    }

private:
    bool lit = false;
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
    if (argc == 3) {
        window->position(std::atoi(argv[1]), std::atoi(argv[2]));
    } else {
        window->position((w - 640) / 2, (h - 480) / 2);
    }
    window->end();
    window->show(1, argv);   // FLTK's own options only
    window->callback(Close, nullptr);
    Fl::add_timeout(1.0 / 60.0, Tick, window);
    return Fl::run();
}
