#include "game/Rules.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/Random.h"
#include "game/Text.h"
#include "ie/InputEngineFLTK13.h"
#include "tests/game/GameDriver.h"

namespace {

using gametest::GameDriver;
using gametest::TableEntry;

Encounter Monster(EncounterType type, int32_t hp, int32_t attack, int32_t exp, int32_t gold) {
    Encounter monster = TableEntry(type);
    monster.hp = hp;
    monster.attack = attack;
    monster.exp = exp;
    monster.gold = gold;
    return monster;
}

// Dismisses every message, checking each front text in order.
void ExpectMessages(GameDriver& driver, const std::vector<const char*>& texts) {
    ASSERT_EQ(driver.state.messages.Count(), texts.size());
    for (const char* text : texts) {
        EXPECT_EQ(driver.Front(), Cp1251(text));
        driver.Dismiss();
    }
    EXPECT_TRUE(driver.state.messages.IsEmpty());
}

class RulesTest : public ::testing::Test {
protected:
    void SetUp() override { FixRandomSeed(7); }
    void TearDown() override { ReleaseRandomSeed(); }

    GameDriver driver;
    GameState& state = driver.state;
};

// ---- screen flow

// The hero's numbers and where he stands, in the order of the record.
std::vector<int32_t> HeroNumbers(const GameState& state) {
    return {state.world, state.stage, state.exp, state.level, state.hp,
            state.gold, state.potions, state.attack, state.defence};
}

TEST_F(RulesTest, TitlePressStartsAFreshGameAndTheWalkBegins) {
    state.world = 9;
    state.stage = 5;
    state.exp = 33;
    state.level = 9;
    state.hp = 1;
    state.gold = 3;
    state.potions = 0;
    state.attack = 40;
    state.defence = 30;
    state.popups.push_back(StatPopup{0, 0, 1, 100});
    driver.PressAt(300, 230);
    EXPECT_EQ(state.screen, ScreenState::WorldIntro);
    EXPECT_EQ(state.timer, 100);
    EXPECT_EQ(HeroNumbers(state), (std::vector<int32_t>{1, 0, 0, 1, 100, 100, 3, 4, 1}));
    EXPECT_TRUE(state.popups.empty());

    driver.ReleaseAt(300, 230);
    driver.Ticks(98);
    EXPECT_EQ(state.screen, ScreenState::WorldIntro);
    EXPECT_EQ(state.slots[dragonStage].type, EncounterType::None) << "not generated yet";
    driver.Tick();
    EXPECT_EQ(state.screen, ScreenState::Travel);
    EXPECT_EQ(state.slots[dragonStage].type, EncounterType::Dragon);

    driver.Ticks(99);
    EXPECT_EQ(state.stage, 0) << "the stage changes at the end of the walk";
    driver.Tick();
    EXPECT_EQ(state.screen, ScreenState::Arrive);
    EXPECT_EQ(state.stage, 1);
    driver.Ticks(19);
    EXPECT_EQ(state.screen, ScreenState::Arrive);
    driver.Tick();
    EXPECT_EQ(state.screen, ScreenState::InEncounter);
}

// The other timed screens are counted out above.
TEST_F(RulesTest, DepartureLastsTwentyTicksWhereverItLeads) {
    const struct {
        int stage;
        ScreenState next;
    } cases[] = {{4, ScreenState::Travel}, {dragonStage, ScreenState::WorldIntro}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stage);
        GameDriver fresh;
        fresh.state.screen = ScreenState::Depart;
        fresh.state.stage = c.stage;
        fresh.state.timer = 100;
        fresh.Ticks(19);
        EXPECT_EQ(fresh.state.screen, ScreenState::Depart);
        fresh.Tick();
        EXPECT_EQ(fresh.state.screen, c.next);
        EXPECT_EQ(fresh.state.timer, 100);
    }
}

TEST_F(RulesTest, TitleIgnoresReleasesAndIdleTicks) {
    driver.Ticks(50);
    driver.ReleaseAt(100, 100);
    EXPECT_EQ(state.screen, ScreenState::Title);
}

TEST_F(RulesTest, OneClickOnGameOverOnlyReachesTheTitle) {
    state.screen = ScreenState::GameOver;
    driver.PressAt(5, 5);
    EXPECT_EQ(state.screen, ScreenState::Title) << "on the press";
    driver.ReleaseAt(5, 5);
    driver.Ticks(10);
    EXPECT_EQ(state.screen, ScreenState::Title);
    driver.ClickAt(5, 5);
    EXPECT_EQ(state.screen, ScreenState::WorldIntro);
}

TEST_F(RulesTest, LeavingSlotSixLeadsToTheDragonWhoCannotBeLeft) {
    driver.StandAt(6, TableEntry(EncounterType::Forge));
    state.slots[dragonStage] = TableEntry(EncounterType::Dragon);
    driver.ClickButton(2);
    EXPECT_EQ(state.screen, ScreenState::Depart);
    ASSERT_TRUE(driver.RunUntil(ScreenState::InEncounter));
    EXPECT_EQ(state.stage, dragonStage);
    driver.ClickButton(2);
    driver.Ticks(30);
    EXPECT_EQ(state.screen, ScreenState::InEncounter);
}

// ---- fighting

TEST_F(RulesTest, FirstWorldSlimeTakesTwoBlowsAndPays) {
    driver.StandAt(1, TableEntry(EncounterType::Slime));
    driver.ClickButton(0);
    EXPECT_EQ(state.slots[1].hp, 10);
    EXPECT_EQ(state.hp, 97);
    ASSERT_EQ(state.popups.size(), 2u);
    EXPECT_EQ(state.popups[0].value, -10);
    EXPECT_EQ(state.popups[1].value, -3);

    driver.ClickButton(0);
    EXPECT_EQ(state.slots[1].hp, 0);
    EXPECT_EQ(state.hp, 97) << "a defeated monster does not strike";
    EXPECT_EQ(state.exp, 7);
    EXPECT_EQ(state.gold, 120);
    EXPECT_EQ(driver.Front(), Cp1251("Монстр повержен и\nты получил 7EXP и $20"));

    driver.Dismiss();
    EXPECT_EQ(state.screen, ScreenState::Depart);
    ASSERT_TRUE(driver.RunUntil(ScreenState::Travel));
    EXPECT_EQ(state.stage, 1);
}

TEST_F(RulesTest, ArmourThatAbsorbsTheBlowStillShowsAZeroPopup) {
    driver.StandAt(2, Monster(EncounterType::Zombie, 500, 3, 1, 1));
    driver.ClickButton(0);
    EXPECT_EQ(state.hp, 100);
    ASSERT_EQ(state.popups.size(), 2u);
    EXPECT_EQ(state.popups[1].value, 0);
    EXPECT_EQ(state.popups[1].x, 50);
}

TEST_F(RulesTest, FallenHeroReadsDefeatThenGameOverThenTitle) {
    state.hp = 10;
    driver.StandAt(3, Monster(EncounterType::Thanatos, 250, 25, 60, 150));
    driver.ClickButton(0);
    EXPECT_EQ(state.hp, 0);
    EXPECT_EQ(driver.Front(), Cp1251("Поражение!"));
    driver.ClickButton(0);
    EXPECT_EQ(state.slots[3].hp, 240) << "no blows while the message shows";
    driver.Dismiss();
    EXPECT_EQ(state.screen, ScreenState::GameOver);
    driver.ClickAt(10, 10);
    EXPECT_EQ(state.screen, ScreenState::Title);
    driver.ClickAt(10, 10);
    EXPECT_EQ(state.screen, ScreenState::WorldIntro);
    EXPECT_EQ(state.hp, 100);
}

TEST_F(RulesTest, DeadHeroCannotAttackButMayDrink) {
    state.hp = 0;
    driver.StandAt(1, TableEntry(EncounterType::Slime));
    driver.ClickButton(0);
    EXPECT_EQ(state.slots[1].hp, 20);
    driver.ClickButton(1);
    EXPECT_EQ(state.hp, 10);
    EXPECT_EQ(state.potions, 2);
}

TEST_F(RulesTest, PotionsHealTenAndAreUsedEvenAtFullHealth) {
    driver.StandAt(1, TableEntry(EncounterType::Slime));
    driver.ClickButton(1);
    EXPECT_EQ(state.potions, 2);
    EXPECT_EQ(state.hp, 100);
    state.hp = 50;
    state.potions = 0;
    driver.ClickButton(1);
    EXPECT_EQ(state.hp, 50);
    EXPECT_EQ(state.potions, 0);
}

TEST_F(RulesTest, RewardsComeBeforeLevelUpsAndDragonLines) {
    state.world = 3;
    driver.StandAt(dragonStage, Monster(EncounterType::Dragon, 1, 1, 50, 120));
    driver.ClickButton(0);
    EXPECT_EQ(state.level, 3);
    EXPECT_EQ(state.exp, 20);
    EXPECT_EQ(state.gold, 220);
    ExpectMessages(driver, {"Монстр повержен и\nты получил 50EXP и $120", "Level UP!", "Level UP!",
                            "Ты убил дракона!", "Но твоя принцесса\nв другом замке!"});
}

struct DragonCase {
    int world;
    std::vector<const char*> lines;
};

TEST_F(RulesTest, DragonLinesDependOnTheWorldAndTheRoadGoesOn) {
    const DragonCase cases[] = {
        {6, {"Ты убил дракона!", "Но твоя принцесса\nв другом замке!"}},
        {7, {"Ты убил дракона!", "Ты спас принцессу!\nСпасибо тебе!",
             "Но ты можешь продолжить\nприключение и убить\nбольше драконов!"}},
        {8, {"Ты убил дракона!", "Как насчет еще одного?"}},
    };
    for (const DragonCase& dragon : cases) {
        SCOPED_TRACE(dragon.world);
        GameDriver fresh;
        fresh.state.world = dragon.world;
        fresh.StandAt(dragonStage, Monster(EncounterType::Dragon, 1, 1, 2, 3));
        fresh.ClickButton(0);
        std::vector<const char*> expected = {"Монстр повержен и\nты получил 2EXP и $3"};
        expected.insert(expected.end(), dragon.lines.begin(), dragon.lines.end());
        ExpectMessages(fresh, expected);
        EXPECT_EQ(fresh.state.screen, ScreenState::Depart);
        ASSERT_TRUE(fresh.RunUntil(ScreenState::WorldIntro));
        EXPECT_EQ(fresh.state.world, dragon.world + 1);
        EXPECT_EQ(fresh.state.stage, 0);
        EXPECT_EQ(fresh.state.gold, 103) << "the hero's numbers carry over";
    }
}

// ---- places

TEST_F(RulesTest, EveryPriceBuysAtExactlyThePriceAndNothingBelow) {
    using T = EncounterType;
    const struct {
        EncounterType place;
        int button;
        int32_t price;
        int32_t (*bought)(const GameState&);
        int32_t gain;
    } cases[] = {
        {T::WizardShop, 0, 20, [](const GameState& s) { return s.potions; }, 1},
        {T::WizardShop, 1, 100, [](const GameState& s) { return s.hp; }, 50},
        {T::Forge, 0, 100, [](const GameState& s) { return s.attack; }, 1},
        {T::Forge, 1, 100, [](const GameState& s) { return s.defence; }, 1},
        {T::MercenaryCamp, 0, 100, [](const GameState& s) { return s.level; }, 2},
        {T::MercenaryCamp, 1, 10,
         [](const GameState& s) { return static_cast<int32_t>(s.messages.Count()); }, 1},
    };
    for (const auto& c : cases) {
        for (const int32_t gold : {c.price, c.price - 1}) {
            SCOPED_TRACE(testing::Message()
                         << static_cast<int>(c.place) << " button " << c.button << " $" << gold);
            GameDriver place;
            place.StandAt(2, TableEntry(c.place));
            place.state.gold = gold;
            place.state.hp = 50;
            const int32_t before = c.bought(place.state);
            place.ClickButton(c.button);
            if (gold == c.price) {
                EXPECT_EQ(c.bought(place.state), before + c.gain);
                EXPECT_EQ(std::abs(place.state.gold - gold), c.price) << "dice win or lose their price";
            } else {
                EXPECT_EQ(c.bought(place.state), before);
                EXPECT_EQ(place.state.gold, gold);
                EXPECT_TRUE(place.state.popups.empty()) << "a refused purchase adds no popup";
            }
        }
    }
}

TEST_F(RulesTest, LevelComesAtExactlyTenTimesTheLevel) {
    const struct {
        int32_t level;
        int32_t exp;
        int32_t levelAfter;
        int32_t expAfter;
    } cases[] = {
        {5, 0, 6, 0},    // 50 of 50
        {6, 9, 6, 59},   // 59 of 60
        {6, 10, 7, 0},   // 60 of 60
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << ", exp " << c.exp);
        GameDriver camp;
        camp.StandAt(3, TableEntry(EncounterType::MercenaryCamp));
        camp.state.level = c.level;
        camp.state.exp = c.exp;
        camp.ClickButton(0);
        EXPECT_EQ(camp.state.level, c.levelAfter);
        EXPECT_EQ(camp.state.exp, c.expAfter);
        EXPECT_EQ(camp.state.messages.Count(), static_cast<size_t>(c.levelAfter - c.level));
    }
}

TEST_F(RulesTest, HealingAtNinetyFiveSpendsAHundred) {
    driver.StandAt(5, TableEntry(EncounterType::WizardShop));
    state.hp = 95;
    driver.ClickButton(1);
    EXPECT_EQ(state.gold, 0);
    EXPECT_EQ(state.hp, 100);
    EXPECT_EQ(state.popups.back().value, 100);
    driver.ClickButton(1);
    EXPECT_EQ(state.gold, 0);
    driver.ClickButton(2);
    EXPECT_EQ(state.screen, ScreenState::Depart);
}

TEST_F(RulesTest, ForgeSellsAttackAndDefence) {
    driver.StandAt(4, TableEntry(EncounterType::Forge));
    state.gold = 250;
    driver.ClickButton(0);
    driver.ClickButton(1);
    driver.ClickButton(1);
    EXPECT_EQ(state.attack, 5);
    EXPECT_EQ(state.defence, 2);
    EXPECT_EQ(state.gold, 50);
}

TEST_F(RulesTest, TrainingFromLevelOneReachesLevelThreeAndTheCampStaysOpen) {
    driver.StandAt(3, TableEntry(EncounterType::MercenaryCamp));
    driver.ClickButton(0);
    EXPECT_EQ(state.level, 3);
    EXPECT_EQ(state.exp, 20);
    EXPECT_EQ(state.gold, 0);
    state.gold = 100;
    driver.ClickButton(0);
    EXPECT_EQ(state.gold, 100) << "buttons are dead while a message shows";
    ExpectMessages(driver, {"Level UP!", "Level UP!"});
    EXPECT_EQ(state.screen, ScreenState::InEncounter);
}

TEST_F(RulesTest, DiceReleasedOnTheOkAreaShowsOnlyTheGoldPopup) {
    driver.StandAt(3, TableEntry(EncounterType::MercenaryCamp));
    driver.ClickAt(160, 140);
    EXPECT_TRUE(state.messages.IsEmpty());
    EXPECT_EQ(state.screen, ScreenState::InEncounter);
    ASSERT_EQ(state.popups.size(), 1u);
    EXPECT_EQ(state.popups[0].x, 230);
    EXPECT_EQ(state.gold, 100 + state.popups[0].value);

    driver.ClickAt(125, 155);
    EXPECT_EQ(state.messages.Count(), 1u);
    driver.Dismiss();
    EXPECT_EQ(state.screen, ScreenState::InEncounter);
}

TEST_F(RulesTest, OddDrawsWinTenGoldAndEvenDrawsLoseTen) {
    int wins = 0;
    const int games = 400;
    for (int seed = 0; seed < games; seed++) {
        GameDriver camp;
        camp.StandAt(3, TableEntry(EncounterType::MercenaryCamp));
        SetRandomSeed(seed);
        const bool odd = (Random() & 1) != 0;
        SetRandomSeed(seed);
        camp.ClickButton(1);
        if (odd) {
            wins++;
            EXPECT_EQ(camp.state.gold, 110);
            EXPECT_EQ(camp.Front(), Cp1251("Ты выиграл $20!"));
        } else {
            EXPECT_EQ(camp.state.gold, 90);
            EXPECT_EQ(camp.Front(), Cp1251("Ты проиграл :("));
        }
    }
    EXPECT_GT(wins, games / 4);
    EXPECT_LT(wins, games * 3 / 4);
}

// ---- what counts as a click

TEST_F(RulesTest, PressInsideReleaseOutsideDoesNothing) {
    driver.StandAt(1, TableEntry(EncounterType::Slime));
    driver.PressAt(80, 145);
    driver.ReleaseAt(80, 170);
    EXPECT_EQ(state.slots[1].hp, 20);
    EXPECT_TRUE(state.popups.empty());
}

TEST_F(RulesTest, PressOutsideReleaseInsideActsOnce) {
    driver.StandAt(1, TableEntry(EncounterType::Slime));
    driver.PressAt(5, 5);
    driver.MoveTo(80, 145);
    driver.Ticks(5);
    driver.ReleaseAt(80, 145);
    driver.Ticks(5);
    EXPECT_EQ(state.slots[1].hp, 10);
}

TEST_F(RulesTest, ButtonEdgesAreHalfOpen) {
    driver.StandAt(1, Monster(EncounterType::Golem, 1000, 1, 1, 1));
    const int misses[][2] = {{41, 145}, {118, 145}, {120, 145}, {80, 129}, {80, 160}, {278, 145}};
    for (const auto& point : misses) {
        driver.ClickAt(point[0], point[1]);
    }
    EXPECT_EQ(state.slots[1].hp, 1000);
    driver.ClickAt(42, 130);
    driver.ClickAt(117, 159);
    EXPECT_EQ(state.slots[1].hp, 980);
}

TEST(RealInputRules, ToolkitClickBetweenTwoTicksActsOnTheTickAfter) {
    ie::InputEngineFLTK13 engine;
    ie::ZInputEngineAdapter adapter(&engine);
    adapter.SetMouseArea(0, 0, 640, 480, false);
    GameState state;
    state.screen = ScreenState::InEncounter;
    state.stage = 1;
    state.slots[1] = TableEntry(EncounterType::Slime);
    const auto tick = [&]() {
        adapter.Update();
        UpdateGame(state, adapter);
    };

    Fl::e_x = 160;
    Fl::e_y = 290;
    engine.HandleEvent(FL_MOVE);
    Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
    engine.HandleEvent(FL_PUSH);
    engine.HandleEvent(FL_RELEASE);
    Fl::e_x = 8;
    Fl::e_y = 8;
    engine.HandleEvent(FL_MOVE);
    tick();
    EXPECT_EQ(state.slots[1].hp, 20) << "the press";
    tick();
    EXPECT_EQ(state.slots[1].hp, 10) << "the release, where it happened";
    tick();
    EXPECT_EQ(state.slots[1].hp, 10);
}

TEST(ButtonLabels, EachPlaceHasItsOwnCaptions) {
    EXPECT_EQ(ButtonLabel(EncounterType::WizardShop, 0), Cp1251("Купить\nЗелье $20"));
    EXPECT_EQ(ButtonLabel(EncounterType::MercenaryCamp, 1), Cp1251("Играть\n$10"));
    EXPECT_EQ(ButtonLabel(EncounterType::Dragon, 2), Cp1251("Сбежать"));
    EXPECT_EQ(ButtonLabel(EncounterType::WitchHut, 0), Cp1251("Атаковать\nврага!"));
    EXPECT_EQ(ButtonLabel(EncounterType::Forge, 3), "");
    EXPECT_EQ(ButtonLabel(EncounterType::Forge, -1), "");
}

}  // namespace

namespace {

// Walks on to the next encounter and checks where the hero stands.
void WalkOnTo(GameDriver& driver, int stage) {
    ASSERT_TRUE(driver.RunUntil(ScreenState::InEncounter));
    ASSERT_EQ(driver.state.stage, stage);
}

TEST(Playthrough, OneWorldFromTheTitleToTheNextWorldAndDownToGameOver) {
    FixRandomSeed(99);
    GameDriver driver;
    GameState& state = driver.state;
    driver.ClickAt(160, 120);
    ASSERT_TRUE(driver.RunUntil(ScreenState::Travel));
    const EncounterType road[] = {EncounterType::None, EncounterType::Slime, EncounterType::WizardShop,
                                  EncounterType::MercenaryCamp, EncounterType::Forge,
                                  EncounterType::Skeleton, EncounterType::WizardShop, EncounterType::Dragon};
    for (int stage = 1; stage <= dragonStage; stage++) {
        state.slots[stage] = TableEntry(road[stage]);
    }

    WalkOnTo(driver, 1);
    driver.ClickButton(0);
    driver.ClickButton(0);
    EXPECT_EQ(state.hp, 97);
    EXPECT_EQ(state.gold, 120);
    driver.Dismiss();

    WalkOnTo(driver, 2);
    driver.ClickButton(0);
    EXPECT_EQ(state.potions, 4);
    driver.ClickButton(2);

    WalkOnTo(driver, 3);
    driver.ClickButton(0);
    EXPECT_EQ(state.level, 3);
    EXPECT_EQ(state.exp, 27);
    ExpectMessages(driver, {"Level UP!", "Level UP!"});
    driver.ClickButton(2);

    WalkOnTo(driver, 4);
    driver.ClickButton(0);
    EXPECT_EQ(state.attack, 4) << "no gold left for the forge";
    driver.ClickButton(2);

    WalkOnTo(driver, 5);
    driver.ClickButton(2);
    WalkOnTo(driver, 6);
    driver.ClickButton(2);
    WalkOnTo(driver, dragonStage);

    // Blows of 22 against 200 hit points; 13 back each time from 97 health.
    int blows = 0;
    while (state.messages.IsEmpty() && blows < 20) {
        driver.ClickButton(0);
        blows++;
    }
    EXPECT_EQ(blows, 8);
    EXPECT_EQ(state.slots[dragonStage].hp, 200 - 8 * 22);
    EXPECT_EQ(state.hp, 0);
    ExpectMessages(driver, {"Поражение!"});
    EXPECT_EQ(state.screen, ScreenState::GameOver);
    driver.ClickAt(1, 1);
    EXPECT_EQ(state.screen, ScreenState::Title);
    ReleaseRandomSeed();
}

}  // namespace

