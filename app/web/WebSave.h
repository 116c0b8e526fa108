#pragma once

// The run kept in the page's storage (localStorage), so that a reload, a
// discarded tab or Escape never costs it. The game writes and checks the
// text (game/Save.h); the shell only stores it. Two tabs of one site share
// the one key: the last to write wins.
namespace web {

// Once the start-up is done: a valid saved run replaces the title, in the
// page's language. A damaged one is set aside under a second key and the
// game starts fresh; storage that refuses is given up for this visit.
void RestoreRun();

// After the ticks of a frame: stores the run if a tick changed it; the
// title and game over remove it.
void KeepRun();

// Stores the run as it is now, changed or not (the page is being hidden).
void KeepRunNow();

}  // namespace web
