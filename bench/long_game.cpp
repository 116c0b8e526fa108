// Plays one long game through the real rules, drawing a frame each tick as
// the window does (DrawGame, capture and presentation on the OpenGL renderer),
// and reports, for each world asked for, the popups the record holds, the
// time a frame takes and the resident memory. Run from the build tree's bin/
// so that ../gfx/ is the art.
//   long_game WORLD...   for example: long_game 1 10 30 60 100
// The player is scripted: it clicks like a person (a press held 5 ticks, 7
// ticks between clicks), attacks monsters, drinks when hurt, buys potions,
// healing and attack, plays the dice once at a camp. To reach far worlds it
// is made strong: at the start of each world its attack and defence are
// raised so that the dragon takes about eight blows and a blow back costs at
// most 4 health. The worlds repeat: the random numbers have a fixed seed.
//
// Per world asked for, one line:
//   world W ticks T held_end H held_max M frame_ms F draw_ms D rss_mb R
// frame_ms and draw_ms are medians over the frames drawn in that world (the
// whole frame; DrawGame alone). Then the side-by-side part: the record as it
// stood when the hero set out on each world's road (the same kind of frame in
// every world: terrain, road, numbers, the walking hero, the popups) is drawn
// again, the worlds' records in turns, 30 rounds of 20 frames, each round
// from a fresh copy;
//   snapshot W held H frame_ms F
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "app/DesktopGlobals.h"
#include "app/DesktopPlatform.h"
#include "app/Shell.h"
#include "bench/BenchScene.h"
#include "game/Draw.h"
#include "game/GameState.h"
#include "game/Random.h"
#include "ge/ZGraphicEngineAdapter.h"
#include "ge/gl/TextureLoader.h"
#include "ge/gl/ZGraphicEngineOpenGL.h"
#include "tests/game/GameDriver.h"

namespace {

using Clock = std::chrono::steady_clock;

const unsigned seed = 11;
const int holdTicks = 5;
const int pauseTicks = 7;
const int snapshotRounds = 30;
const int snapshotFrames = 20;
// As the game thread does: kept memory goes back to the kernel every 10 s.
const int ticksBetweenReturns = 600;

double Millis(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double ResidentMb() {
    FILE* const status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = 0;
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) {
            break;
        }
    }
    if (status != nullptr) {
        std::fclose(status);
    }
    return static_cast<double>(kb) / 1024.0;
}

// Where the player clicks next, in virtual-screen pixels.
struct Target {
    int x;
    int y;
};

const Target okArea = {160, 140};

Target Button(int button) {
    return {80 + 80 * button, 155};
}

// A blow back costs at most 4 health; the dragon takes about eight blows.
void Strengthen(GameState& state) {
    int32_t hardest = 0;
    int32_t strongest = 0;
    for (int stage = 1; stage <= dragonStage; stage++) {
        hardest = std::max(hardest, state.slots[stage].hp);
        strongest = std::max(strongest, state.slots[stage].attack);
    }
    state.attack = std::max(state.attack, hardest / 8 - 6 * state.level);
    state.defence = std::max(state.defence, strongest - 2 * state.level - 4);
}

class Player {
public:
    // The choice in front of an open encounter with no message.
    Target Choose(const GameState& state) {
        const Encounter& here = state.slots[state.stage];
        switch (here.type) {
        case EncounterType::WizardShop:
            if (state.hp < 70 && state.gold >= 100) {
                return Button(1);
            }
            return state.potions < 6 && state.gold >= 20 ? Button(0) : Button(2);
        case EncounterType::Forge:
            return state.gold >= 100 && !boughtHere ? (boughtHere = true, Button(0)) : Button(2);
        case EncounterType::MercenaryCamp:
            return state.gold >= 10 && !boughtHere ? (boughtHere = true, Button(1)) : Button(2);
        default:
            return state.hp < 40 && state.potions > 0 ? Button(1) : Button(0);
        }
    }

    // Sets the pointer for the coming tick.
    void Act(const GameState& state, gametest::FakePointer& pointer) {
        if (state.stage != lastStage) {
            lastStage = state.stage;
            boughtHere = false;
        }
        if (phase > 0) {
            --phase;
            if (phase == pauseTicks) {
                pointer.SetLeft(false);
            }
            return;
        }
        const ScreenState screen = state.screen;
        Target target{};
        if (screen == ScreenState::Title || screen == ScreenState::GameOver) {
            target = okArea;
        } else if (screen == ScreenState::InEncounter) {
            target = state.messages.IsEmpty() ? Choose(state) : okArea;
        } else {
            return;
        }
        pointer.MoveTo(2 * target.x, 2 * target.y);
        pointer.SetLeft(true);
        phase = holdTicks + pauseTicks;
    }

private:
    int phase = 0;
    int lastStage = -1;
    bool boughtHere = false;
};

struct WorldFigures {
    int ticks = 0;
    size_t heldMax = 0;
    size_t heldEnd = 0;
    double rssMb = 0.0;
    std::vector<double> frameMs;
    std::vector<double> drawMs;
    bool snapshotTaken = false;
    GameState snapshot;
};

// One frame as the window draws it; returns the milliseconds of DrawGame alone.
double DrawFrame(GameState& state, ie::XInputEngine& input) {
    graphicAdapter->BeginFrame();
    graphicAdapter->Clear(0.0f, 0.0f, 0.0f);
    const Clock::time_point start = Clock::now();
    DrawGame(state, *graphicAdapter, input);
    const double drawMs = Millis(start, Clock::now());
    graphicAdapter->EndFrame();
    glFinish();
    return drawMs;
}

class LongGameWindow final : public Fl_Gl_Window {
public:
    explicit LongGameWindow(const std::vector<int>& worlds)
        : Fl_Gl_Window(0, 0, gameWidth, gameHeight, "Dunmark long game"), worlds(worlds) {
        for (const int number : worlds) {
            figures[number];
        }
    }

    void draw() override {
        if (done) {
            return;
        }
        done = true;
        graphicEngine = new ge::ZGraphicEngineOpenGL(w(), h());
        static ge::ZTextureStoreOpenGL textures(*graphicEngine);
        ge::SetProcessTextureStore(&textures);
        graphicAdapter = new ge::ZGraphicEngineAdapter(graphicEngine, 0, 0, gameWidth, gameHeight);
        LoadBmpTexture("Auto", 4, "../gfx/font.bmp");
        LoadTextures();
        ok = Play();
        if (ok) {
            Report();
        }
    }

    bool done = false;
    bool ok = false;

private:
    bool Play() {
        FixRandomSeed(seed);
        gametest::GameDriver driver;
        GameState& state = driver.state;
        Player player;
        const int last = worlds.back();
        ScreenState before = state.screen;
        for (int tick = 1; state.world <= last; tick++) {
            player.Act(state, driver.pointer);
            driver.Tick();
            if (state.screen == ScreenState::GameOver) {
                std::fprintf(stderr, "long_game: the hero died in world %d\n", state.world);
                return false;
            }
            if (before == ScreenState::WorldIntro && state.screen == ScreenState::Travel) {
                Strengthen(state);
            }
            before = state.screen;
            const auto asked = figures.find(state.world);
            WorldFigures* const world = asked != figures.end() ? &asked->second : nullptr;
            if (world != nullptr && !world->snapshotTaken &&
                state.screen == ScreenState::Travel) {
                world->snapshot = state;
                world->snapshotTaken = true;
            }
            const Clock::time_point start = Clock::now();
            const double drawMs = DrawFrame(state, driver.adapter);
            const double frameMs = Millis(start, Clock::now());
            if (world != nullptr) {
                world->ticks++;
                world->frameMs.push_back(frameMs);
                world->drawMs.push_back(drawMs);
                world->heldMax = std::max(world->heldMax, state.popups.size());
                world->heldEnd = state.popups.size();
                world->rssMb = ResidentMb();
            }
            if (tick % ticksBetweenReturns == 0) {
                sys::ReturnKeptMemory();
            }
        }
        return true;
    }

    void Report() {
        for (const int number : worlds) {
            const WorldFigures& world = figures[number];
            std::printf("world %d ticks %d held_end %zu held_max %zu frame_ms %.4f draw_ms %.4f "
                        "rss_mb %.1f\n",
                        number, world.ticks, world.heldEnd, world.heldMax, Median(world.frameMs),
                        Median(world.drawMs), world.rssMb);
        }
        std::fflush(stdout);
        FixedPointer pointer(320, 240);
        std::map<int, std::vector<double>> millis;
        for (int round = 0; round < snapshotRounds; round++) {
            for (const int number : worlds) {
                GameState copy = figures[number].snapshot;
                for (int frame = 0; frame < snapshotFrames; frame++) {
                    const Clock::time_point start = Clock::now();
                    DrawFrame(copy, pointer);
                    millis[number].push_back(Millis(start, Clock::now()));
                }
            }
        }
        for (const int number : worlds) {
            std::printf("snapshot %d held %zu frame_ms %.4f\n", number,
                        figures[number].snapshot.popups.size(), Median(millis[number]));
        }
    }

    const std::vector<int> worlds;
    std::map<int, WorldFigures> figures;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> worlds;
    for (int i = 1; i < argc; i++) {
        worlds.push_back(std::atoi(argv[i]));
    }
    if (worlds.empty() || !std::is_sorted(worlds.begin(), worlds.end()) || worlds.front() < 1) {
        std::fputs("usage: long_game WORLD... (rising, from 1)\n", stderr);
        return 2;
    }
    sys::KeepFreedMemory();
    LongGameWindow window(worlds);
    window.show();
    while (!window.done && Fl::wait(1.0) >= 0) {
    }
    return window.ok ? 0 : 1;
}
