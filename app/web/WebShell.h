#pragma once

// The browser's shell: the page's canvas instead of a window, the page's
// animation frames instead of a game thread. The start-up is the desktop's
// (app/Shell.h), one stage a frame; every later frame runs the ticks that
// fell due and draws the last of them, unless the context is lost.
namespace web {

const char* const canvasSelector = "#canvas";

// Creates the drawing context and hands the page's frames to the shell.
void Start();

// Ends the page's frames, destroys the engines that exist in the desktop's
// order, says goodbye and ends the program with 0 (the page then offers to
// play again).
[[noreturn]] void Shutdown();

}  // namespace web
