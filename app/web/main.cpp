#include <cstdio>

#include "app/web/WebShell.h"

// The page's entry: the desktop's banner and the version, then the shell
// runs on the page's animation frames after main has returned.
int main() {
    std::fputs("Dunmark\n", stdout);
    std::fputs("a knight's errand in pixels, made by the Dunmark team\n", stdout);
    std::fputs("specially for Norvik-104\n", stdout);
    std::fputs("version " DUNMARK_VERSION "\n", stdout);
    std::fflush(stdout);
    web::Start();
    return 0;
}
