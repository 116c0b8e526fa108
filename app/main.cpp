#include <FL/Fl.H>

#include <cstdio>

#include "app/GameRecord.h"
#include "app/GameSounds.h"
#include "app/GameWindow.h"
#include "app/DesktopGlobals.h"
#include "app/DesktopPlatform.h"
#include "app/MuteFile.h"
#include "game/Random.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const usageText =
    "Usage: dunmark [--help | --version] [--language LANG] [--mute] [toolkit options]\n"
    "A small fantasy role-playing game, played with the mouse in one window.\n"
    "\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "  --language LANG   the game's language: ru (Russian, the default) or\n"
    "                    en (English); any other ends the program with status 2\n"
    "  --mute            start without sound; M mutes and unmutes while playing,\n"
    "                    and the game keeps that choice in\n"
    "                    $XDG_STATE_HOME/dunmark/mute for the next time\n"
    "\n"
    "Every other option goes to the window toolkit (FLTK):\n"
    "  -bg2 color, -bg color, -fg color   colours of the toolkit's widgets\n"
    "  -di[splay] host:n.n                the X display to open\n"
    "  -dn[d], -nod[nd]                   drag and drop on or off\n"
    "  -g[eometry] WxH+X+Y                window geometry (the game keeps its 640x480\n"
    "                                     window centred on the screen)\n"
    "  -i[conic]                          start iconified\n"
    "  -k[bd], -nok[bd]                   keyboard focus on or off\n"
    "  -na[me] classname                  window class name\n"
    "  -s[cheme] scheme                   widget scheme\n"
    "  -ti[tle] windowtitle               window title\n"
    "  -to[oltips], -not[ooltips]         tooltips on or off\n"
    "\n"
    "DUNMARK_SEED=N (0 to 4294967295), a testing aid, makes every world and game\n"
    "of dice come from the seed N instead of the clock.\n"
    "DUNMARK_TRIM_TICKS=N (1 to 4294967295), a testing aid, hands the memory the\n"
    "C library kept back every N ticks (60 a second) instead of every 600.\n"
    "\n"
    "The game reads its art from ../gfx/ and appends its log to Log.txt in the\n"
    "working directory; the installed launcher runs it from\n"
    "$XDG_STATE_HOME/dunmark/log. See dunmark(6).\n";

const char* const versionText = "dunmark " DUNMARK_VERSION "\n";

// The answer to --help or --version (the first of them on the command line
// wins), or null when the command line is the toolkit's alone.
const char* QueryAnswer(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            return usageText;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            return versionText;
        }
    }
    return nullptr;
}

const char* const languageOption = "--language";
const char* const muteOption = "--mute";

// What the command line asks of the game itself; the rest is the toolkit's.
struct GameOptions {
    Language language = Language::Russian;
    bool mute = false;
    std::vector<char*> toolkitArgs;  // argv without the game's options, null-terminated
    std::string error;                // a usage error, or empty
};

// Reads --language LANG (or --language=LANG; the last one wins) and --mute,
// and keeps every other argument for the toolkit.
GameOptions ReadOptions(int argc, char** argv) {
    GameOptions options;
    options.toolkitArgs.push_back(argv[0]);
    const std::string withValue = std::string(languageOption) + "=";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string code;
        if (arg == muteOption) {
            options.mute = true;
            continue;
        }
        if (arg == languageOption) {
            if (i + 1 == argc) {
                options.error = std::string(languageOption) + " needs a language: " +
                                LanguageChoices();
                break;
            }
            code = argv[++i];
        } else if (arg.compare(0, withValue.size(), withValue) == 0) {
            code = arg.substr(withValue.size());
        } else {
            options.toolkitArgs.push_back(argv[i]);
            continue;
        }
        if (!LanguageOfCode(code, options.language)) {
            options.error = "unknown language \"" + code + "\" for " + languageOption +
                            "; the languages are " + LanguageChoices();
            break;
        }
    }
    options.toolkitArgs.push_back(nullptr);
    return options;
}

enum class Setting { Absent, Read, Refused };

// Reads the environment's whole-number setting `name` into value; absent or
// empty leaves value as it is. A value that is not a whole number from
// `least` to 4294967295 is refused with a message on standard error.
Setting ReadWholeNumber(const char* name, unsigned least, unsigned& value) {
    const char* const text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return Setting::Absent;
    }
    unsigned number = 0;  // digits as DUNMARK_SEED's are read
    if (!ParseSeed(text, number) || number < least) {
        std::fprintf(stderr, "dunmark: %s must be a whole number from %u to 4294967295, not \"%s\"\n",
                     name, least, text);
        return Setting::Refused;
    }
    value = number;
    return Setting::Read;
}

// Prints the answer; nothing else of the program runs.
int Answer(const char* text) {
    std::fputs(text, stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("dunmark: cannot write to standard output\n", stderr);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* const answer = QueryAnswer(argc, argv);
    if (answer != nullptr) {
        return Answer(answer);
    }
    GameOptions options = ReadOptions(argc, argv);
    if (!options.error.empty()) {
        std::fprintf(stderr, "dunmark: %s\n", options.error.c_str());
        return 2;
    }
    chosenLanguage = options.language;
    SetMuted(StartsMuted(options.mute));
    unsigned seed = 0;
    const Setting seedSetting = ReadWholeNumber("DUNMARK_SEED", 0, seed);
    if (seedSetting == Setting::Refused ||
        ReadWholeNumber("DUNMARK_TRIM_TICKS", 1, ticksBetweenReturns) == Setting::Refused) {
        return 2;
    }
    if (seedSetting == Setting::Read) {
        FixRandomSeed(seed);
    }
    sys::ReportCrashes();
    sys::KeepFreedMemory();
    std::fputs("Dunmark\n", stdout);
    std::fputs("a knight's errand in pixels, made by the Dunmark team\n", stdout);
    std::fputs("specially for Norvik-104\n", stdout);
    std::fflush(stdout);

    const sys::ScreenSize screen = sys::PrimaryScreenSize();
    displayWidth = screen.width;
    displayHeight = screen.height;

    Fl_GameWindow* const window = new Fl_GameWindow(
        CentredOrigin(displayWidth, gameWidth), CentredOrigin(displayHeight, gameHeight),
        gameWidth, gameHeight, "Norvik-104 DUNMARK!");
    // The class a desktop matches against the desktop entry dunmark.desktop;
    // the toolkit's -name option still sets another.
    window->xclass("dunmark");
    window->box(FL_NO_BOX);
    window->end();
    window->show(static_cast<int>(options.toolkitArgs.size()) - 1, options.toolkitArgs.data());
    window->callback(Shutdown, nullptr);

    Fl::lock();
    sys::StartThread(GameThread, window);
    Fl::run();
    Shutdown(nullptr, nullptr);
}
