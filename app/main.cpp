#include <FL/Fl.H>

#include <cstdio>

#include "app/GameWindow.h"
#include "app/Globals.h"
#include "app/Platform.h"

int main(int argc, char** argv) {
    sys::KeepFreedMemory();
    std::fputs("Dunmark\n", stdout);
    std::fputs("a knight's errand in pixels, made by the Dunmark team\n", stdout);
    std::fputs("specially for Norvik-104\n", stdout);
    std::fflush(stdout);

    const sys::ScreenSize screen = sys::PrimaryScreenSize();
    displayWidth = screen.width;
    displayHeight = screen.height;

    Fl_GameWindow* const window = new Fl_GameWindow(
        CentredOrigin(displayWidth, Fl_GameWindow::windowWidth),
        CentredOrigin(displayHeight, Fl_GameWindow::windowHeight),
        Fl_GameWindow::windowWidth, Fl_GameWindow::windowHeight, "Norvik-104 DUNMARK!");
    window->box(FL_NO_BOX);
    window->end();
    window->show(argc, argv);
    window->callback(Shutdown, nullptr);

    Fl::lock();
    sys::StartThread(GameThread, window);
    Fl::run();
    Shutdown(nullptr, nullptr);
}
