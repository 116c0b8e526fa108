#pragma once

#include <cstdint>

#include "ie/ZInputEngineAdapter.h"

// What both shells do the same way: the staged start-up, the Loading frame
// and the art, a tick, a frame, and the shutdown. A shell brings its window
// or page, its clock, and its engines through XShellEngines.
namespace ge {
class XGraphicEngine;
class XTextureStore;
}  // namespace ge

// The game's screen in pixels of the window or canvas: the game coordinates
// the input adapter reports.
const int gameWidth = ie::ZInputEngineAdapter::gameWidth;
const int gameHeight = ie::ZInputEngineAdapter::gameHeight;

// A renderer just made, and the store its textures are loaded into.
struct ShellRenderer {
    ge::XGraphicEngine* engine;
    ge::XTextureStore* textures;
};

// A shell's own engines. Each Create makes one and keeps it in the shell's
// globals; each Destroy destroys it if it exists, through its concrete class.
class XShellEngines {
public:
    virtual ie::XInputEngine* CreateInput() = 0;
    // Called with the drawing context current.
    virtual ShellRenderer CreateGraphics() = 0;
    virtual void CreateSound() = 0;
    // The sound engine's part of a tick.
    virtual void UpdateSound() = 0;
    virtual void DestroyGraphics() = 0;
    virtual void DestroyInput() = 0;
    virtual void DestroySound() = 0;
    // Keeps the player's choice of mute, each shell its own way (the
    // desktop's state file, the page's storage); by default it is not kept.
    virtual void KeepMuted(bool) {}

protected:
    ~XShellEngines() = default;
};

// For the Destroy hooks: destroys the engine, if there is one, through its
// concrete class and forgets it.
template <typename Engine>
void DestroyEngine(Engine*& engine) {
    delete engine;
    engine = nullptr;
}

// The start-up, one stage a frame: the first makes the input engine and
// starts the graphics (StartGraphics), the second makes the sound engine and
// the game record; then the game runs.
class ShellStartup {
public:
    void Step(XShellEngines& engines);
    bool Done() const { return stage == running; }

private:
    static const int running = 2;
    int stage = 0;
};

// Makes the input engine anew (destroying one that exists) and its adapter,
// reporting the pointer over the game's screen.
void StartInput(XShellEngines& engines);

// Makes the renderer anew (destroying one that exists) and the graphics
// adapter, maps the pointer, loads the font, shows the "Loading..." frame and
// loads the rest of the art.
void StartGraphics(XShellEngines& engines);

// Loads the art after the font (app/ArtFiles.h) through the process-wide loaders.
void LoadTextures();

// M, by its PC scan code, mutes and unmutes the game (app/GameSounds.h).
const uint32_t muteKey = 50;

// One tick of the running game: input latched, the rules, M, the tick's
// sounds (app/GameSounds.h), the sound engine's part. False once the game has
// ended.
bool TickGame(XShellEngines& engines);

// One frame: cleared to black, and the game drawn once its record exists.
void DrawGameFrame();

// The ticks of one frame of a shell that may draw less often than it ticks
// (the browser's, on a display slower than the tick rate). Each tick is
// followed by the game's drawing, as the desktop draws once a tick: the last
// tick's is drawn for real when `shown`, every other one through an engine
// that draws nothing. What drawing advances (the creatures' animation, the
// popups) thus keeps the desktop's pace. False once the game has ended.
bool RunTicks(XShellEngines& engines, int ticks, bool shown);

// Destroys the engines that exist, the renderer first, then input, then
// sound, which the game's sounds forget first; says goodbye and ends the process with 0.
[[noreturn]] void EndProgram(XShellEngines& engines);
