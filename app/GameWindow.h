#pragma once

#include <FL/Fl_Gl_Window.H>

#include "app/Shell.h"

class Fl_Widget;

// The one game window. Its draw routine takes the start-up's stages
// (app/Shell.h) and afterwards draws one frame of the game; its event handler
// feeds the input engine.
class Fl_GameWindow : public Fl_Gl_Window {
public:
    Fl_GameWindow(int x, int y, int w, int h, const char* label);

    void draw() override;
    int handle(int event) override;

    // One tick of the game once start-up is complete; nothing before.
    void Tick();

    // Centres the window on the primary screen at the game's size.
    void Centre();

private:
    ShellStartup startup;
};

// Left edge that centres a window of the given size on a screen.
int CentredOrigin(int screenSize, int windowSize);

// Destroys the engines that exist, says goodbye and ends the process with 0.
[[noreturn]] void Shutdown(Fl_Widget* widget, void* data);

// The game thread: paces ticks and runs input and rules under the toolkit lock.
[[noreturn]] void GameThread(void* window);
