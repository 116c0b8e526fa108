#include "game/SoundDirector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "app/SoundFiles.h"
#include "game/Random.h"
#include "game/Save.h"
#include "tests/game/GameDriver.h"
#include "tests/support/RecordingSoundEngine.h"

namespace {

using gametest::GameDriver;
using gametest::TableEntry;
using testsupport::RecordingSoundEngine;
using Call = RecordingSoundEngine::Call;
using T = EncounterType;
using Step = void (*)(GameDriver&);

const float full = SoundDirector::musicVolume;
const float silent = SoundDirector::silent;

Encounter Monster(EncounterType type, int32_t hp, int32_t attack, int32_t exp, int32_t gold) {
    Encounter monster = TableEntry(type);
    monster.hp = hp;
    monster.attack = attack;
    monster.exp = exp;
    monster.gold = gold;
    return monster;
}

// A game whose every tick is heard through the director.
struct HeardGame {
    HeardGame() {
        driver.afterTick = [this](const TickEvents& events) {
            director.Direct(driver.state, events, sound);
        };
    }

    GameDriver driver;
    GameState& state = driver.state;
    SoundDirector director;
    RecordingSoundEngine sound;
};

template <int button>
void Click(GameDriver& d) {
    d.ClickButton(button);
}

void StandAtSlime(GameDriver& d) { d.StandAt(1, Monster(T::Slime, 100, 5, 1, 1)); }
void StandAtShop(GameDriver& d) { d.StandAt(2, TableEntry(T::WizardShop)); }
void StandAtForge(GameDriver& d) { d.StandAt(2, TableEntry(T::Forge)); }
void StandAtCamp(GameDriver& d) { d.StandAt(2, TableEntry(T::MercenaryCamp)); }
void Poor(GameDriver& d) { d.state.gold = 9; }

// The seed whose first draw wins (odd) or loses (even) at dice.
void SeedDice(bool win) {
    for (unsigned seed = 0;; ++seed) {
        SetRandomSeed(seed);
        if (((Random() & 1) != 0) == win) {
            SetRandomSeed(seed);
            return;
        }
    }
}

// Every event, by what brings it about in the rules, and the effects heard.
const struct {
    const char* what;
    Step setUp;
    Step act;
    std::vector<Effect> heard;
} eventCases[] = {
    {"the title's click", [](GameDriver&) {}, [](GameDriver& d) { d.ClickAt(300, 230); },
     {Effect::Button}},
    {"a blow the monster survives", StandAtSlime, Click<0>,
     {Effect::Button, Effect::Strike, Effect::Struck}},
    {"a blow that fells a monster",
     [](GameDriver& d) { d.StandAt(1, Monster(T::Slime, 1, 5, 1, 3)); }, Click<0>,
     {Effect::Button, Effect::Strike, Effect::MonsterFalls, Effect::Gold}},
    {"a fall with no gold and a level",
     [](GameDriver& d) { d.StandAt(1, Monster(T::Zombie, 1, 5, 10, 0)); }, Click<0>,
     {Effect::Button, Effect::Strike, Effect::MonsterFalls, Effect::LevelUp}},
    {"the dragon's fall",
     [](GameDriver& d) { d.StandAt(dragonStage, Monster(T::Dragon, 1, 5, 1, 5)); }, Click<0>,
     {Effect::Button, Effect::Strike, Effect::Gold, Effect::DragonFalls}},
    {"the hero's fall",
     [](GameDriver& d) {
         d.StandAt(1, Monster(T::Golem, 100, 90, 1, 1));
         d.state.hp = 1;
     },
     Click<0>, {Effect::Button, Effect::Strike, Effect::Struck, Effect::Defeat}},
    {"a potion", StandAtSlime, Click<1>, {Effect::Button, Effect::Potion}},
    {"no potion left",
     [](GameDriver& d) {
         StandAtSlime(d);
         d.state.potions = 0;
     },
     Click<1>, {Effect::Button}},
    {"fleeing", StandAtSlime, Click<2>, {Effect::Button, Effect::Flee}},
    {"leaving a place", StandAtShop, Click<2>, {Effect::Button}},
    {"a potion bought", StandAtShop, Click<0>, {Effect::Button, Effect::Purchase}},
    {"healing refused",
     [](GameDriver& d) {
         StandAtShop(d);
         d.state.gold = 99;
     },
     Click<1>, {Effect::Button, Effect::Refused}},
    {"attack forged", StandAtForge, Click<0>,
     {Effect::Button, Effect::Purchase, Effect::Forge}},
    {"defence refused",
     [](GameDriver& d) {
         StandAtForge(d);
         Poor(d);
     },
     Click<1>, {Effect::Button, Effect::Refused}},
    {"training", StandAtCamp, Click<0>, {Effect::Button, Effect::Training, Effect::LevelUp}},
    {"training refused",
     [](GameDriver& d) {
         StandAtCamp(d);
         Poor(d);
     },
     Click<0>, {Effect::Button, Effect::Refused}},
    {"dice won",
     [](GameDriver& d) {
         StandAtCamp(d);
         SeedDice(true);
     },
     Click<1>, {Effect::Button, Effect::DiceRoll, Effect::DiceWon}},
    {"dice lost",
     [](GameDriver& d) {
         StandAtCamp(d);
         SeedDice(false);
     },
     Click<1>, {Effect::Button, Effect::DiceRoll, Effect::DiceLost}},
    {"dice refused",
     [](GameDriver& d) {
         StandAtCamp(d);
         Poor(d);
     },
     Click<1>, {Effect::Button, Effect::Refused}},
    {"OK",
     [](GameDriver& d) {
         StandAtCamp(d);
         d.ClickButton(1);
     },
     [](GameDriver& d) { d.Dismiss(); }, {Effect::Button}},
    {"arriving at the dragon",
     [](GameDriver& d) {
         d.state.screen = ScreenState::Travel;
         d.state.stage = dragonStage - 1;
         d.state.timer = 1;
     },
     [](GameDriver& d) { d.Tick(); }, {Effect::DragonRoar}},
    {"game over's click", [](GameDriver& d) { d.state.screen = ScreenState::GameOver; },
     [](GameDriver& d) { d.ClickAt(300, 230); }, {Effect::Button}},
};

std::vector<int> Numbers(std::vector<Effect> effects) {
    std::vector<int> numbers;
    for (const Effect effect : effects) {
        numbers.push_back(static_cast<int>(effect));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

TEST(SoundDirector, EachEventOfTheRulesPlaysItsEffectAtFullVolume) {
    std::set<int> everyEffect;
    for (const auto& c : eventCases) {
        SCOPED_TRACE(c.what);
        HeardGame game;
        c.setUp(game.driver);
        game.sound.Clear();
        c.act(game.driver);
        std::vector<int> heard;
        for (const Call& call : game.sound.effects) {
            heard.push_back(call.number);
            EXPECT_EQ(1.0f, call.volume);
        }
        std::sort(heard.begin(), heard.end());
        EXPECT_EQ(Numbers(c.heard), heard);
        everyEffect.insert(heard.begin(), heard.end());
    }
    ReleaseRandomSeed();
    EXPECT_EQ(static_cast<size_t>(effectFileCount), everyEffect.size()) << "an effect no event plays";
}

TEST(SoundDirector, ARefusedPurchaseChangesNoFieldButIsNoted) {
    for (const EncounterType place : {T::WizardShop, T::Forge, T::MercenaryCamp}) {
        for (const int button : {0, 1}) {
            GameDriver d;
            d.StandAt(2, TableEntry(place));
            Poor(d);
            const std::string before = WriteSave(d.state, RandomState{}, "");
            TickEvents noted;
            d.afterTick = [&noted](const TickEvents& events) {
                if (events.Has(GameEvent::PurchaseRefused)) {
                    noted.Note(GameEvent::PurchaseRefused);
                }
            };
            d.ClickButton(button);
            EXPECT_EQ(before, WriteSave(d.state, RandomState{}, ""));
            EXPECT_TRUE(d.state.popups.empty());
            EXPECT_TRUE(noted.Has(GameEvent::PurchaseRefused)) << static_cast<int>(place) << button;
        }
    }
}

TEST(SoundDirector, EachScreenHasItsMusic) {
    const struct {
        ScreenState screen;
        EncounterType at;
        Music music;
    } cases[] = {
        {ScreenState::Title, T::None, Music::Title},
        {ScreenState::WorldIntro, T::None, Music::Road},
        {ScreenState::Travel, T::Slime, Music::Road},
        {ScreenState::Arrive, T::Dragon, Music::Road},
        {ScreenState::InEncounter, T::Slime, Music::Fight},
        {ScreenState::InEncounter, T::Thanatos, Music::Fight},
        {ScreenState::InEncounter, T::Dragon, Music::Dragon},
        {ScreenState::InEncounter, T::WizardShop, Music::Camp},
        {ScreenState::InEncounter, T::Forge, Music::Camp},
        {ScreenState::InEncounter, T::MercenaryCamp, Music::Camp},
        {ScreenState::InEncounter, T::WitchHut, Music::Camp},
        {ScreenState::Depart, T::Forge, Music::Road},
        {ScreenState::GameOver, T::Golem, Music::GameOver},
    };
    for (const auto& c : cases) {
        GameState state;
        state.screen = c.screen;
        state.stage = 3;
        state.slots[3] = TableEntry(c.at);
        EXPECT_EQ(c.music, MusicOf(state)) << static_cast<int>(c.screen) << " " << static_cast<int>(c.at);
    }
}

Call Track(Music music, float volume = full) {
    return {static_cast<int>(music), volume};
}

TEST(SoundDirector, ATrackStartsOnlyWhenTheScreenWantsAnother) {
    FixRandomSeed(3);
    HeardGame game;
    game.driver.Ticks(50);
    game.driver.ClickAt(300, 230);
    ASSERT_TRUE(game.driver.RunUntil(ScreenState::InEncounter));
    game.driver.Ticks(50);
    ReleaseRandomSeed();
    EXPECT_EQ((std::vector<Call>{Track(Music::Title), Track(Music::Road), Track(MusicOf(game.state))}),
              game.sound.tracks);
}

TEST(SoundDirector, ARestoredRunStartsTheMusicOfItsScreenOnItsFirstTick) {
    HeardGame game;
    game.driver.StandAt(dragonStage, TableEntry(T::Dragon));
    game.driver.Tick();
    EXPECT_EQ(std::vector<Call>{Track(Music::Dragon)}, game.sound.tracks);
}

TEST(SoundDirector, GameOverPlaysOnceAndIsNotStartedAgain) {
    HeardGame game;
    game.driver.StandAt(1, Monster(T::Golem, 100, 90, 1, 1));
    game.state.hp = 1;
    game.driver.ClickButton(0);
    game.driver.Dismiss();
    ASSERT_EQ(ScreenState::GameOver, game.state.screen);
    game.driver.Ticks(1000);
    EXPECT_EQ((std::vector<Call>{Track(Music::Fight), Track(Music::GameOver)}), game.sound.tracks);
}

TEST(SoundDirector, MutedNoEffectStartsAndTheMusicIsSilentUntilUnmuted) {
    HeardGame game;
    StandAtSlime(game.driver);
    game.driver.Tick();
    game.director.SetMuted(true);
    game.driver.ClickButton(0);  // a blow
    game.driver.ClickButton(2);  // fled: the road's music starts, unheard
    EXPECT_TRUE(game.sound.effects.empty());
    EXPECT_EQ((std::vector<Call>{Track(Music::Fight), {-1, silent}, Track(Music::Road, silent)}),
              game.sound.tracks);

    game.sound.Clear();
    game.director.SetMuted(false);
    game.driver.Tick();
    game.driver.Tick();
    EXPECT_EQ((std::vector<Call>{{-1, full}}), game.sound.tracks) << "the road's music, heard again";
}

}  // namespace
