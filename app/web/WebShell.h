#pragma once

// The browser's shell: the page's canvas instead of a window, the page's
// animation frames instead of a game thread. The same staged start-up as the
// desktop's: the first frame creates input and graphics and shows the
// "Loading..." frame while the art loads, the second creates the sound engine
// and the game record, and every later frame runs the ticks that fell due
// and draws when at least one ran.
namespace web {

const char* const canvasSelector = "#canvas";
const int canvasWidth = 640;
const int canvasHeight = 480;

// Creates the drawing context and hands the page's frames to the shell.
void Start();

// Destroys the engines that exist in the desktop's order, says goodbye and
// ends the program with 0 (the page then offers to play again).
[[noreturn]] void Shutdown();

}  // namespace web
