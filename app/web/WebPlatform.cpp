#include "app/Platform.h"

#include <emscripten.h>

namespace sys {

// The page's animation frames keep the program alive; a plain exit would
// leave it running. This one ends it, and the page's onExit shows why.
void ExitProcess(int code) {
    emscripten_force_exit(code);
    __builtin_unreachable();
}

}  // namespace sys
