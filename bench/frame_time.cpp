// Times one world-view frame as the window draws it: DrawGame with the
// benchmark's encounter open and the pointer over a button, then the
// adapter's capture and presentation. Run from the build tree's bin/ so that
// ../gfx/ is the art.
// Prints the median milliseconds per frame.
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/DesktopGlobals.h"
#include "app/Shell.h"
#include "bench/BenchScene.h"
#include "game/Draw.h"
#include "game/GameState.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ge/gl/TextureLoader.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"

namespace {

const int frameCount = 600;

class BenchWindow final : public Fl_Gl_Window {
public:
    BenchWindow() : Fl_Gl_Window(0, 0, gameWidth, gameHeight, "Dunmark frame time") {}

    void draw() override {
        if (done) {
            return;
        }
        graphicEngine = new ge::ZGraphicEngineOpenGL(w(), h());
        static ge::ZTextureStoreOpenGL textures(*graphicEngine);
        ge::SetProcessTextureStore(&textures);
        graphicAdapter = new ge::ZGraphicEngineAdapter(graphicEngine, 0, 0, gameWidth, gameHeight);
        LoadBmpTexture("Auto", 4, "../gfx/font.bmp");
        LoadTextures();
        GameState state = FirstEncounter(benchSeed);
        FixedPointer pointer(2 * diceX, 2 * diceY);  // over the camp's dice button
        std::vector<double> millis;
        for (int i = 0; i < frameCount; ++i) {
            const auto start = std::chrono::steady_clock::now();
            graphicAdapter->BeginFrame();
            graphicAdapter->Clear(0.0f, 0.0f, 0.0f);
            DrawGame(state, *graphicAdapter, pointer);
            graphicAdapter->EndFrame();
            glFinish();
            millis.push_back(std::chrono::duration<double, std::milli>(
                std::chrono::steady_clock::now() - start).count());
        }
        std::nth_element(millis.begin(), millis.begin() + frameCount / 2, millis.end());
        std::printf("frame_ms %.4f\n", millis[frameCount / 2]);
        done = true;
    }

    bool done = false;
};

}  // namespace

int main() {
    BenchWindow window;
    window.show();
    while (!window.done && Fl::wait(1.0) >= 0) {
    }
    return window.done ? 0 : 1;
}
