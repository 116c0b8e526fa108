#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "game/GameState.h"
#include "game/Random.h"
#include "game/Text.h"
#include "tests/game/GameDriver.h"

namespace {

using gametest::TableEntry;

int Code(EncounterType type) {
    return static_cast<int>(type);
}

bool IsPlace(EncounterType type) {
    return type == EncounterType::WizardShop || type == EncounterType::Forge ||
           type == EncounterType::MercenaryCamp || type == EncounterType::WitchHut;
}

// A world generated with a fixed seed; the seed is released afterwards.
GameState WorldOf(int world, unsigned seed) {
    GameState state;
    state.world = world;
    FixRandomSeed(seed);
    GenerateWorld(state);
    ReleaseRandomSeed();
    return state;
}

struct Numbers {
    int32_t hp;
    int32_t attack;
    int32_t exp;
    int32_t gold;
};

Numbers NumbersOf(const Encounter& slot) {
    return Numbers{slot.hp, slot.attack, slot.exp, slot.gold};
}

void ExpectNumbers(const Encounter& slot, const Numbers& expected) {
    EXPECT_EQ(slot.hp, expected.hp);
    EXPECT_EQ(slot.attack, expected.attack);
    EXPECT_EQ(slot.exp, expected.exp);
    EXPECT_EQ(slot.gold, expected.gold);
}

TEST(GameRecord, NewRecordStartsOnTheTitleWithAFreshHero) {
    const GameState state;
    EXPECT_EQ(state.timer, 0);
    EXPECT_EQ(state.screen, ScreenState::Title);
    EXPECT_EQ(state.animFrame, 0);
    EXPECT_EQ(state.world, 1);
    EXPECT_EQ(state.stage, 0);
    EXPECT_EQ(state.exp, 0);
    EXPECT_EQ(state.level, 1);
    EXPECT_EQ(state.hp, 100);
    EXPECT_EQ(state.gold, 100);
    EXPECT_EQ(state.potions, 3);
    EXPECT_EQ(state.attack, 4);
    EXPECT_EQ(state.defence, 1);
    EXPECT_TRUE(state.popups.empty());
    EXPECT_TRUE(state.messages.IsEmpty());
    for (const Encounter& slot : state.slots) {
        EXPECT_TRUE(slot.name.empty());
        EXPECT_TRUE(slot.description.empty());
    }
}

TEST(EncounterTableContent, EveryEntryCarriesItsOwnCode) {
    for (int i = 0; i < encounterKinds; i++) {
        EXPECT_EQ(Code(EncounterTable()[i].type), i);
    }
}

TEST(EncounterTableContent, TextsAreStoredAsCodePageBytes) {
    const Encounter& slime = TableEntry(EncounterType::Slime);
    EXPECT_EQ(slime.name, "\xD1\xEB\xE8\xE7\xED\xFF\xEA");
    EXPECT_EQ(TableEntry(EncounterType::Dragon).name, Cp1251("Дракон"));
    const std::string& shop = TableEntry(EncounterType::WizardShop).description;
    EXPECT_EQ(shop, Cp1251("Старый волшебник\nторгует целеблыми зельями"));
    EXPECT_NE(shop.find('\n'), std::string::npos);
}

// The dragon stands in slot 7 of every world, scaled by the world's factor.
TEST(WorldScaling, DragonGrowsWithTheWorld) {
    const struct {
        int world;
        Numbers dragon;
    } worlds[] = {
        {1, {200, 20, 50, 120}},    {2, {300, 30, 75, 180}},     {7, {800, 80, 200, 480}},
        {8, {1100, 110, 275, 660}}, {15, {2000, 200, 500, 1200}},
    };
    for (const auto& entry : worlds) {
        SCOPED_TRACE(entry.world);
        const GameState state = WorldOf(entry.world, 1);
        EXPECT_EQ(state.slots[dragonStage].type, EncounterType::Dragon);
        ExpectNumbers(state.slots[dragonStage], entry.dragon);
    }
}

TEST(WorldScaling, MonstersScaleWithTruncation) {
    bool sawSkeletonInWorld2 = false;
    bool sawSlimeInWorld8 = false;
    for (unsigned seed = 0; seed < 200; seed++) {
        const GameState second = WorldOf(2, seed);
        const GameState eighth = WorldOf(8, seed);
        for (int stage = 1; stage < dragonStage; stage++) {
            if (second.slots[stage].type == EncounterType::Skeleton) {
                ExpectNumbers(second.slots[stage], {75, 15, 22, 52});
                sawSkeletonInWorld2 = true;
            }
            if (eighth.slots[stage].type == EncounterType::Slime) {
                ExpectNumbers(eighth.slots[stage], {110, 33, 38, 110});
                sawSlimeInWorld8 = true;
            }
        }
    }
    EXPECT_TRUE(sawSkeletonInWorld2);
    EXPECT_TRUE(sawSlimeInWorld8);
}

TEST(WorldScaling, FirstWorldKeepsTheTableNumbers) {
    for (unsigned seed = 0; seed < 100; seed++) {
        const GameState state = WorldOf(1, seed);
        for (int stage = 1; stage <= dragonStage; stage++) {
            const Encounter& slot = state.slots[stage];
            ExpectNumbers(slot, NumbersOf(EncounterTable()[Code(slot.type)]));
            EXPECT_EQ(slot.name, EncounterTable()[Code(slot.type)].name);
        }
    }
}

// Checks one generated world against the rules every world obeys.
void CheckWorld(const GameState& state, int world) {
    const int windowStart = Code(EncounterType::Slime) + (world - 1) % 7;
    EXPECT_EQ(state.slots[dragonStage].type, EncounterType::Dragon);
    EXPECT_TRUE(state.slots[5].type == EncounterType::WizardShop ||
                state.slots[6].type == EncounterType::WizardShop);
    for (int stage = 1; stage <= dragonStage; stage++) {
        const Encounter& slot = state.slots[stage];
        EXPECT_NE(slot.type, EncounterType::WitchHut);
        EXPECT_NE(slot.type, EncounterType::None);
        if (IsPlace(slot.type)) {
            EXPECT_LT(stage, dragonStage);
            ExpectNumbers(slot, {0, 0, 0, 0});
        } else if (stage < dragonStage) {
            EXPECT_GE(Code(slot.type), windowStart);
            EXPECT_LT(Code(slot.type), windowStart + 3);
        }
    }
    for (int unused : {0, 8, 9}) {
        EXPECT_EQ(state.slots[unused].type, EncounterType::None);
        EXPECT_TRUE(state.slots[unused].name.empty());
    }
}

TEST(WorldGeneration, EveryWorldKeepsItsShape) {
    for (int world = 1; world <= 22; world++) {
        for (unsigned seed = 0; seed < 300; seed++) {
            SCOPED_TRACE(testing::Message() << "world " << world << " seed " << seed);
            CheckWorld(WorldOf(world, seed), world);
            if (HasFailure()) {
                return;
            }
        }
    }
}

TEST(WorldGeneration, PlacesTurnUpAboutOnceInFourSlots) {
    int places = 0;
    int draws = 0;
    int shopsInFive = 0;
    int kinds[4] = {0, 0, 0, 0};
    for (unsigned seed = 0; seed < 4000; seed++) {
        const GameState state = WorldOf(3, seed);
        for (int stage = 1; stage <= 4; stage++) {
            draws++;
            if (IsPlace(state.slots[stage].type)) {
                places++;
                kinds[Code(state.slots[stage].type)]++;
            }
        }
        shopsInFive += state.slots[5].type == EncounterType::WizardShop ? 1 : 0;
    }
    const double share = static_cast<double>(places) / draws;
    EXPECT_GT(share, 0.20);
    EXPECT_LT(share, 0.30);
    EXPECT_GT(kinds[Code(EncounterType::Forge)], places / 4);
    EXPECT_GT(kinds[Code(EncounterType::MercenaryCamp)], places / 4);
    EXPECT_GT(kinds[Code(EncounterType::WizardShop)], places / 4);
    EXPECT_GT(shopsInFive, 4000 / 2);  // half from the fixed shop, some from the draws
    EXPECT_LT(shopsInFive, 4000);
}

TEST(WorldGeneration, SeventhWorldMayPutDragonsOnTheRoad) {
    bool dragonOnRoad = false;
    for (unsigned seed = 0; seed < 200 && !dragonOnRoad; seed++) {
        const GameState state = WorldOf(7, seed);
        for (int stage = 1; stage < dragonStage; stage++) {
            if (state.slots[stage].type == EncounterType::Dragon) {
                ExpectNumbers(state.slots[stage], {800, 80, 200, 480});
                dragonOnRoad = true;
            }
        }
    }
    EXPECT_TRUE(dragonOnRoad);
}

TEST(WorldGeneration, SameSeedGivesTheSameWorld) {
    for (unsigned seed = 10; seed < 20; seed++) {
        const GameState first = WorldOf(4, seed);
        const GameState second = WorldOf(4, seed);
        for (int stage = 1; stage <= dragonStage; stage++) {
            EXPECT_EQ(first.slots[stage].type, second.slots[stage].type);
            EXPECT_EQ(first.slots[stage].hp, second.slots[stage].hp);
        }
    }
}

TEST(WorldGeneration, UnfixedSeedComesFromTheClock) {
    const time_t before = std::time(nullptr);
    SeedRandom();
    const int drawn = Random();
    const time_t after = std::time(nullptr);
    SetRandomSeed(static_cast<uint32_t>(before));
    const int fromBefore = Random();
    SetRandomSeed(static_cast<uint32_t>(after));
    const int fromAfter = Random();
    EXPECT_TRUE(drawn == fromBefore || drawn == fromAfter);
}

}  // namespace
