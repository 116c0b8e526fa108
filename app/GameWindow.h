#pragma once

#include <FL/Fl_Gl_Window.H>

#include <cstdint>

class Fl_Widget;

// The one game window. Its draw routine creates the engines in stages and
// afterwards draws one frame of the game; its event handler feeds the input
// engine.
class Fl_GameWindow : public Fl_Gl_Window {
public:
    static const int windowWidth = 640;
    static const int windowHeight = 480;

    Fl_GameWindow(int x, int y, int w, int h, const char* label);

    void draw() override;
    int handle(int event) override;

    // Rebuilds the renderer and the graphics adapter, maps the pointer,
    // shows the loading frame and loads every texture.
    void InitGraphics();

    // 0 = nothing created, 1 = input and graphics, 2 = sound and game: running.
    int32_t startupStage;

private:
    void DrawGameFrame();
};

// Left edge that centres a window of the given size on a screen.
int CentredOrigin(int screenSize, int windowSize);

void CreateInput(Fl_GameWindow* window);
void CreateSound(Fl_GameWindow* window);
void LoadTextures();

// Destroys the engines that exist, says goodbye and ends the process with 0.
[[noreturn]] void Shutdown(Fl_Widget* widget, void* data);

// The game thread: paces ticks and runs input and rules under the toolkit lock.
[[noreturn]] void GameThread(void* window);
