#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "game/Random.h"
#include "tests/game/GameDriver.h"

namespace {

using gametest::GameDriver;

// Places worth clicking: the three buttons (high and low), the OK area, and
// anywhere at all.
void MovePointer(GameDriver& driver, std::mt19937& dice) {
    const int choice = static_cast<int>(dice() % 8);
    if (choice < 6) {
        driver.MoveTo(80 + 80 * (choice % 3), choice < 3 ? 135 : 155);
    } else if (choice == 6) {
        driver.MoveTo(160, 140);
    } else {
        driver.MoveTo(static_cast<int>(dice() % 400) - 40, static_cast<int>(dice() % 300) - 30);
    }
}

struct Coverage {
    int gameOvers = 0;
    int dragonsSlain = 0;
    int highestWorld = 1;
};

void CheckInvariants(const GameState& state) {
    ASSERT_GE(state.hp, 0);
    ASSERT_LE(state.hp, 100);
    ASSERT_GE(state.stage, 0);
    ASSERT_LE(state.stage, dragonStage);
    ASSERT_GE(static_cast<int>(state.screen), 0);
    ASSERT_LE(static_cast<int>(state.screen), 6);
    ASSERT_LE(state.messages.Count(), 8u);
    ASSERT_GE(state.timer, 0);
    ASSERT_LE(state.timer, 100);
    ASSERT_GE(state.gold, 0);
    ASSERT_GE(state.potions, 0);
    ASSERT_GE(state.level, 1);
    ASSERT_GE(state.exp, 0);
    ASSERT_GE(state.slots[state.stage].hp, 0);
}

// Random clicks for a number of ticks, the hero kept alive now and then so
// that games also reach later worlds.
void PlayRandomly(unsigned seed, int ticks, Coverage& coverage) {
    FixRandomSeed(seed);
    std::mt19937 dice(seed);
    GameDriver driver;
    GameState& state = driver.state;
    for (int tick = 0; tick < ticks; tick++) {
        if (dice() % 3 == 0) {
            MovePointer(driver, dice);
        }
        if (dice() % 4 == 0) {
            driver.pointer.SetLeft(dice() % 2 == 0);
        }
        if (seed % 2 == 0 && state.screen == ScreenState::InEncounter && tick % 50 == 0) {
            state.attack += 5;
            state.defence += 2;
        }
        const ScreenState before = state.screen;
        const int32_t world = state.world;
        driver.Tick();
        CheckInvariants(state);
        if (::testing::Test::HasFatalFailure()) {
            ADD_FAILURE() << "seed " << seed << " tick " << tick;
            return;
        }
        coverage.gameOvers += before != ScreenState::GameOver && state.screen == ScreenState::GameOver;
        coverage.dragonsSlain += state.world == world + 1;
        coverage.highestWorld = std::max(coverage.highestWorld, state.world);
    }
}

TEST(Soak, ThousandsOfRandomGamesKeepTheRecordSound) {
    Coverage coverage;
    for (unsigned seed = 0; seed < 2000; seed++) {
        PlayRandomly(seed, 6000, coverage);
        if (HasFailure()) {
            break;
        }
    }
    ReleaseRandomSeed();
    RecordProperty("gameOvers", coverage.gameOvers);
    RecordProperty("dragonsSlain", coverage.dragonsSlain);
    RecordProperty("highestWorld", coverage.highestWorld);
    EXPECT_GT(coverage.gameOvers, 100);
    EXPECT_GT(coverage.dragonsSlain, 100);
    EXPECT_GT(coverage.highestWorld, 3);
}

}  // namespace
