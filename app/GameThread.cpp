#include <FL/Fl.H>

#include "app/DesktopGlobals.h"
#include "app/DesktopPlatform.h"
#include "app/GameWindow.h"
#include "app/TickClock.h"

// One tick: wait for the tick's time, then, under the toolkit's lock, latch
// input and run the rules once start-up is complete, and ask for a frame.
// Every ticksBetweenReturns ticks, outside the lock, the memory the C
// library kept is handed back.
void GameThread(void* data) {
    sys::MarkGameThread();
    Fl_GameWindow* const window = static_cast<Fl_GameWindow*>(data);
    ticksPerSecond = 60;
    unsigned ticksToReturn = ticksBetweenReturns;
    for (;;) {
        WaitForTick();
        Fl::lock();
        window->Tick();
        window->redraw();
        Fl::unlock();
        Fl::awake(static_cast<void*>(window));
        if (--ticksToReturn == 0) {
            sys::ReturnKeptMemory();
            ticksToReturn = ticksBetweenReturns;
        }
    }
}
