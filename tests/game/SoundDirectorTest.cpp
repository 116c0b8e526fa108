#include "game/SoundDirector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "app/SoundFiles.h"
#include "game/Random.h"
#include "game/Save.h"
#include "se/XSoundEngine.h"
#include "tests/game/GameDriver.h"

namespace {

using gametest::GameDriver;
using Call = std::pair<int, float>;  // effect or track (-1: the music's volume set), volume
using T = EncounterType;
using E = Effect;
using Step = void (*)(GameDriver&);

// Writes down what it is asked. Its music always reads as not playing, as a
// once-track's or a missing file's does.
struct RecordingSound final : se::XSoundEngine {
    void PlayMusic(int music, float volume, int32_t) override { tracks.push_back({music, volume}); }
    int CurrentMusic() override { return -1; }
    void SetMusicVolume(float volume) override { tracks.push_back({-1, volume}); }
    se::XSound* PlaySound(int sound, float volume, bool) override {
        effects.push_back({sound, volume});
        return nullptr;
    }
    void StopAllSounds() override {}
    void Update() override {}
    std::vector<Call> effects;
    std::vector<Call> tracks;
};

// A game whose every tick is heard through the director.
struct HeardGame {
    HeardGame() { driver.afterTick = [this](const TickEvents& e) { director.Direct(state, e, sound); }; }
    GameDriver driver;
    GameState& state = driver.state;
    SoundDirector director;
    RecordingSound sound;
};

// A place or a monster with the given numbers, worth 1 gold.
void StandAt(GameDriver& d, T type, int32_t hp = 100, int32_t attack = 5, int32_t exp = 1) {
    const Encounter& entry = gametest::TableEntry(type);
    d.StandAt(type == T::Dragon ? dragonStage : 2, {type, hp, attack, exp, 1, 0, 0, entry.name, entry.description});
}
template <int button> void Click(GameDriver& d) { d.ClickButton(button); }
template <int gold> void Camp(GameDriver& d) { StandAt(d, T::MercenaryCamp); d.state.gold = gold; }
void NoSetUp(GameDriver&) {}
void ClickTitle(GameDriver& d) { d.ClickAt(300, 230); }
void Slime(GameDriver& d) { StandAt(d, T::Slime); }
void Shop(GameDriver& d) { StandAt(d, T::WizardShop); }
void Dying(GameDriver& d) { StandAt(d, T::Golem, 100, 90); d.state.hp = 1; }

// The seed whose first draw wins (odd) or loses (even) at dice.
template <bool win> void SeededCamp(GameDriver& d) {
    Camp<100>(d);
    unsigned seed = 0;
    for (SetRandomSeed(seed); ((Random() & 1) != 0) != win; SetRandomSeed(++seed)) {}
    SetRandomSeed(seed);
}

// Every event, by what brings it about in the rules, and the effects heard
// over the second that follows. A press is heard only where its action has
// no sound of its own.
const struct {
    const char* what;
    Step setUp;
    Step act;
    std::set<E> heard;
} eventCases[] = {
    {"the title's click", NoSetUp, ClickTitle, {E::Button}},
    {"a fall worth a level", [](GameDriver& d) { StandAt(d, T::Zombie, 1, 5, 10); }, Click<0>,
     {E::Strike, E::MonsterFalls, E::Gold, E::LevelUp}},
    {"the dragon's fall", [](GameDriver& d) { StandAt(d, T::Dragon, 1); }, Click<0>,
     {E::Strike, E::Gold, E::DragonFalls}},
    {"the hero's fall", Dying, Click<0>, {E::Strike, E::Struck, E::Defeat}},
    {"a potion", Slime, Click<1>, {E::Potion}},
    {"fleeing", Slime, Click<2>, {E::Flee}},
    {"leaving", Shop, Click<2>, {E::Button}},
    {"healing refused", [](GameDriver& d) { Shop(d); d.state.gold = 99; }, Click<1>, {E::Refused}},
    {"attack forged", [](GameDriver& d) { StandAt(d, T::Forge); }, Click<0>, {E::Purchase, E::Forge}},
    {"defence refused", [](GameDriver& d) { StandAt(d, T::Forge); d.state.gold = 99; }, Click<1>,
     {E::Refused}},
    {"training", Camp<100>, Click<0>, {E::Training, E::LevelUp}},
    {"training refused", Camp<99>, Click<0>, {E::Refused}},
    {"dice won", SeededCamp<true>, Click<1>, {E::DiceRoll, E::DiceWon}},
    {"dice lost", SeededCamp<false>, Click<1>, {E::DiceRoll, E::DiceLost}},
    {"dice refused", Camp<9>, Click<1>, {E::Refused}},
    {"OK", [](GameDriver& d) { Camp<100>(d); d.ClickButton(1); d.Ticks(60); }, [](GameDriver& d) { d.Dismiss(); },
     {E::Button}},
    {"arriving at the dragon",
     [](GameDriver& d) { d.StandAt(dragonStage - 1, {}); d.state.screen = ScreenState::Travel; d.state.timer = 1; },
     [](GameDriver& d) { d.Tick(); }, {E::DragonRoar}},
};

// A refused purchase is heard, yet changes nothing of the record.
TEST(SoundDirector, EachEventOfTheRulesPlaysItsEffectAtFullVolume) {
    std::set<E> everyEffect;
    for (const auto& c : eventCases) {
        SCOPED_TRACE(c.what);
        HeardGame game;
        c.setUp(game.driver);
        game.sound.effects.clear();
        const std::string before = WriteSave(game.state, RandomState{}, "");
        c.act(game.driver);
        game.driver.Ticks(60);
        std::set<E> heard;
        for (const auto& [effect, volume] : game.sound.effects) {
            heard.insert(static_cast<E>(effect));
            EXPECT_EQ(1.0f, volume);
        }
        EXPECT_EQ(c.heard, heard);
        EXPECT_TRUE(!heard.count(E::Refused) || before == WriteSave(game.state, RandomState{}, ""));
        everyEffect.insert(heard.begin(), heard.end());
    }
    ReleaseRandomSeed();
    EXPECT_EQ(static_cast<size_t>(effectFileCount), everyEffect.size()) << "an effect no event plays";
}

Call Track(Music music, float volume = SoundDirector::musicVolume) {
    return {static_cast<int>(music), volume};
}

TEST(SoundDirector, ARestoredRunStartsItsScreensMusicAndGameOverPlaysOnce) {
    const std::pair<Step, Music> restored[] = {{NoSetUp, Music::Title}, {Dying, Music::Fight}, {Shop, Music::Camp},
                                               {[](GameDriver& d) { StandAt(d, T::Dragon); }, Music::Dragon}};
    for (const auto& [setUp, music] : restored) {
        HeardGame game;
        setUp(game.driver);
        game.driver.Tick();
        EXPECT_EQ(std::vector<Call>{Track(music)}, game.sound.tracks);
    }
    HeardGame game;
    Dying(game.driver);
    game.driver.ClickButton(0);
    game.driver.Dismiss();
    game.driver.Ticks(1000);
    // The fight's track fades out to silence before game over's starts.
    std::vector<Call> started;
    std::vector<float> fade;
    for (const Call& call : game.sound.tracks) {
        (call.first == -1 ? fade.push_back(call.second) : started.push_back(call));
    }
    EXPECT_EQ((std::vector<Call>{Track(Music::Fight), Track(Music::GameOver)}), started);
    ASSERT_EQ(static_cast<size_t>(SoundDirector::fadeTicks), fade.size());
    EXPECT_TRUE(std::is_sorted(fade.rbegin(), fade.rend()));
    EXPECT_EQ(SoundDirector::silentAbove, fade.back());
}

// The blow, the blow struck back, the fall: in that order, a beat apart; a
// muting in between silences what was still to come.
TEST(SoundDirector, OneTicksEffectsSoundInSequence) {
    for (const bool muteAfterTheBlow : {false, true}) {
        HeardGame game;
        Dying(game.driver);
        std::vector<std::pair<int, E>> heard;
        int tick = 0;
        game.driver.afterTick = [&](const TickEvents& e) {
            game.director.Direct(game.state, e, game.sound);
            for (const auto& [effect, volume] : game.sound.effects) {
                heard.push_back({tick, static_cast<E>(effect)});
            }
            game.sound.effects.clear();
            ++tick;
        };
        game.driver.ClickButton(0);
        game.director.SetMuted(muteAfterTheBlow);
        game.driver.Ticks(60);
        ASSERT_FALSE(heard.empty());
        const int blow = heard[0].first;
        using Heard = std::vector<std::pair<int, E>>;
        const Heard sequence = {{blow, E::Strike}, {blow + 14, E::Struck}, {blow + 36, E::Defeat}};
        EXPECT_EQ(muteAfterTheBlow ? Heard{sequence[0]} : sequence, heard);
    }
}

TEST(SoundDirector, MutedNoEffectStartsAndTheMusicIsSilentUntilUnmuted) {
    HeardGame game;
    Slime(game.driver);
    game.driver.Tick();
    game.director.SetMuted(true);
    game.driver.ClickButton(0);  // a blow
    game.driver.ClickButton(2);  // fled: the road's music starts, unheard
    EXPECT_TRUE(game.sound.effects.empty());
    const std::vector<Call> silent = {Track(Music::Fight), {-1, 0.0f}, Track(Music::Road, 0.0f)};
    EXPECT_EQ(silent, game.sound.tracks);
    game.sound.tracks.clear();
    game.director.SetMuted(false);
    game.driver.Ticks(2);
    EXPECT_EQ((std::vector<Call>{{-1, SoundDirector::musicVolume}}), game.sound.tracks) << "the road's, heard again";
}

}  // namespace
