#include "game/Save.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "game/Text.h"
#include "tests/game/GameDriver.h"

namespace {

using gametest::TableEntry;

const int32_t lowest = std::numeric_limits<int32_t>::min();
const int32_t highest = std::numeric_limits<int32_t>::max();

// A run with every field set apart from its default, at the int32 limits where
// no rule bounds it, at the given screen.
GameState FullRun(ScreenState screen) {
    GameState s;
    s.timer = 100;
    s.screen = screen;
    s.animFrame = 127;
    s.world = highest;
    s.stage = 7;
    s.exp = lowest;
    s.level = highest;
    s.hp = lowest;
    s.gold = highest;
    s.potions = highest;
    s.attack = lowest;
    s.defence = highest;
    s.language = Language::English;
    for (int i = 0; i < slotCount; i++) {
        s.slots[i] = TableEntry(static_cast<EncounterType>(i % encounterKinds));
        s.slots[i].hp = i % 2 ? lowest : highest;
        s.slots[i].attack = -i;
        s.slots[i].exp = i * 1000;
        s.slots[i].gold = i % 2 ? highest : lowest;
        s.slots[i].spriteColumn = i;
        s.slots[i].spriteRow = 9 - i;
    }
    s.slots[7] = TableEntry(EncounterType::Dragon);
    s.messages.PushMessage(Message{TextKey::MonsterDefeated, {lowest, highest}});
    s.messages.PushMessage(Message{TextKey::LevelUp, {}});
    s.messages.PushMessage(Message{TextKey::Defeat, {}});
    return s;
}

RandomState SomeRandomState() {
    SetRandomSeed(12345);
    Random();
    return CurrentRandomState();
}

void ExpectSameRun(const GameState& read, const GameState& written) {
    EXPECT_EQ(WriteSave(read, RandomState{}, "v"), WriteSave(written, RandomState{}, "v"));
    EXPECT_EQ(read.exp, lowest);
    EXPECT_EQ(read.gold, highest);
    EXPECT_EQ(read.messages.All().front(), (Message{TextKey::MonsterDefeated, {lowest, highest}}));
    for (int i = 0; i < slotCount; i++) {
        const Encounter& entry =
            EncounterTable(read.language)[static_cast<int>(read.slots[i].type)];
        EXPECT_EQ(read.slots[i].name, entry.name) << i;
        EXPECT_EQ(read.slots[i].description, entry.description) << i;
    }
}

TEST(Save, EveryFieldOfEveryScreenComesBack) {
    const RandomState random = SomeRandomState();
    for (int screen = 0; screen <= static_cast<int>(ScreenState::GameOver); screen++) {
        const GameState written = FullRun(static_cast<ScreenState>(screen));
        SavedRun run;
        std::string reason;
        ASSERT_TRUE(ReadSave(WriteSave(written, random, "1.1.0"), run, reason)) << reason;
        EXPECT_EQ(run.state.screen, written.screen);
        EXPECT_EQ(run.gameVersion, "1.1.0");
        EXPECT_TRUE(run.state.popups.empty());
        ExpectSameRun(run.state, written);
        EXPECT_EQ(WriteSave(run.state, run.random, "1.1.0"), WriteSave(written, random, "1.1.0"));
    }
}

TEST(Save, ARestoredGeneratorDrawsWhatTheSavedOneWould) {
    SetRandomSeed(99);
    Random();
    SavedRun run;
    std::string reason;
    ASSERT_TRUE(ReadSave(WriteSave(GameState(), CurrentRandomState(), "1"), run, reason)) << reason;
    int32_t expected[40];
    for (int32_t& number : expected) {
        number = Random();
    }
    SetRandomSeed(1);
    RestoreRandomState(run.random);
    for (const int32_t number : expected) {
        EXPECT_EQ(Random(), number);
    }
}

// Written by release 1.0.0 in a Depart at stage 2, with one message waiting:
// any release of the same format reads it. Its checksum is FNV-1a's.
const char* const earlierSave =
    "dunmark-save 1\n"
    "game 1.0.0\n"
    "record 55 5 17 2 2 12 3 80 140 2 5 2 0\n"
    "slot 0 0 0 0 0 0 0\n"
    "slot 4 0 0 0 0 1 3\n"
    "slot 6 0 15 22 52 2 1\n"
    "slot 7 105 19 37 75 2 2\n"
    "slot 1 0 0 0 0 1 0\n"
    "slot 8 150 24 45 105 2 3\n"
    "slot 2 0 0 0 0 1 1\n"
    "slot 13 300 30 75 180 0 3\n"
    "slot 0 0 0 0 0 0 0\n"
    "slot 0 0 0 0 0 0 0\n"
    "messages 1\n"
    "message 55 22 52\n"
    "random 9 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 "
    "4294967295\n"
    "checksum 05a49826\n";

std::string EarlierSave() {
    return earlierSave;
}

TEST(Save, ASaveOfAnEarlierReleaseOfTheSameFormatLoads) {
    SavedRun run;
    std::string reason;
    ASSERT_TRUE(ReadSave(EarlierSave(), run, reason)) << reason;
    EXPECT_EQ(run.gameVersion, "1.0.0");
    EXPECT_EQ(run.state.screen, ScreenState::Depart);
    EXPECT_EQ(run.state.timer, 55);
    EXPECT_EQ(run.state.gold, 140);
    EXPECT_EQ(run.state.slots[7].type, EncounterType::Dragon);
    EXPECT_EQ(run.state.slots[2].gold, 52);
    EXPECT_EQ(run.state.messages.FrontText(Language::Russian),
              Cp1251("Монстр повержен и\nты получил 22EXP и $52"));
    EXPECT_EQ(run.random.front, 9);
    EXPECT_EQ(run.random.words[30], 4294967295u);
}

// ---- every malformed form, refused with its reason

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? "(no " + from + ")" : text.replace(at, from.size(), to);
}

// The earlier save with one line's text changed, signed again.
std::string Edited(const std::string& from, const std::string& to) {
    const std::string text = EarlierSave();
    return SignedSave(Replaced(text.substr(0, text.rfind("checksum")), from, to));
}

// The earlier save's record with one field changed, written and signed.
std::string WithRecord(const std::function<void(GameState&)>& change) {
    SavedRun run;
    std::string reason;
    ReadSave(EarlierSave(), run, reason);
    change(run.state);
    return WriteSave(run.state, run.random, "1.0.0");
}

struct Malformed {
    const char* what;
    std::string text;
    const char* reason;
};

TEST(Save, EveryMalformedFormIsRefusedWithItsReason) {
    const std::string good = EarlierSave();
    const Malformed cases[] = {
        {"empty", "", "not a save"},
        {"other text", "{\"hp\": 100}\n", "not a save"},
        {"cut in half", good.substr(0, good.size() / 2), "truncated"},
        {"last byte cut", good.substr(0, good.size() - 1), "truncated"},
        {"checksum cut", good.substr(0, good.size() - 4), "truncated"},
        {"newer format", Replaced(good, "dunmark-save 1", "dunmark-save 2"), "format 2"},
        {"format zero", Replaced(good, "dunmark-save 1", "dunmark-save 0"), "format 0"},
        {"changed number", Replaced(good, "record 55", "record 56"), "checksum"},
        {"changed checksum", good.substr(0, good.size() - 2) + "0\n", "checksum"},
        {"no game version", Edited("game 1.0.0", "game"), "game version"},
        {"missing slot", Edited("slot 6 0 15 22 52 2 1\n", ""), "not a slot line"},
        {"short record", Edited("record 55 5", "record 5"), "not a record line"},
        {"over int32", Edited("140 2 5", "2147483648 2 5"), "bad number"},
        {"leading zero", Edited("140 2 5", "0140 2 5"), "bad number"},
        {"minus zero", Edited("140 2 5", "-0 2 5"), "bad number"},
        {"not a number", Edited("140 2 5", "1e3 2 5"), "bad number"},
        {"double space", Edited("140 2 5", "140  2 5"), "not a record line"},
        {"unknown slot type", Edited("slot 4 0", "slot 14 0"), "no known type"},
        {"message of a title key", Edited("message 55 22 52", "message 0 22 52"), "no message key"},
        {"message short of a number", Edited("message 55 22 52", "message 55 22"), "message line"},
        {"level up with a number", Edited("messages 1\nmessage 55 22 52", "messages 1\nmessage 51 1"),
         "message line"},
        {"message missing", Edited("messages 1", "messages 2"), "message"},
        {"random word over 32 bits", Edited("4294967295", "4294967296"), "bad number"},
        {"random position 31", Edited("random 9 ", "random 31 "), "position"},
        {"a line after the end", Edited("4294967295\n", "4294967295\nslot 0\n"), "lines after"},
        {"screen 7", WithRecord([](GameState& s) { s.screen = static_cast<ScreenState>(7); }),
         "unknown screen"},
        {"screen -1", WithRecord([](GameState& s) { s.screen = static_cast<ScreenState>(-1); }),
         "unknown screen"},
        {"timer 101", WithRecord([](GameState& s) { s.timer = 101; }), "timer"},
        {"timer -1", WithRecord([](GameState& s) { s.timer = -1; }), "timer"},
        {"frame 128", WithRecord([](GameState& s) { s.animFrame = 128; }), "animation frame"},
        {"frame -1", WithRecord([](GameState& s) { s.animFrame = -1; }), "animation frame"},
        {"stage 8", WithRecord([](GameState& s) { s.stage = 8; }), "stage 8"},
        {"stage -1 on travel",
         WithRecord([](GameState& s) {
             s.screen = ScreenState::Travel;
             s.stage = -1;
         }),
         "stage -1"},
        {"encounter at stage 0",
         WithRecord([](GameState& s) {
             s.screen = ScreenState::InEncounter;
             s.stage = 0;
         }),
         "without an encounter"},
        {"arrival at an empty slot",
         WithRecord([](GameState& s) {
             s.screen = ScreenState::Arrive;
             s.stage = 1;
             s.slots[1].type = EncounterType::None;
         }),
         "without an encounter"},
        {"departure from an empty slot",
         WithRecord([](GameState& s) { s.slots[2].type = EncounterType::None; }),
         "without an encounter"},
        {"negative potions", WithRecord([](GameState& s) { s.potions = -1; }), "negative potions"},
        {"language 2", WithRecord([](GameState& s) { s.language = static_cast<Language>(2); }),
         "unknown language"},
    };
    for (const Malformed& c : cases) {
        SavedRun run;
        run.state.gold = 7;
        std::string reason;
        EXPECT_FALSE(ReadSave(c.text, run, reason)) << c.what;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.what << ": " << reason;
        EXPECT_EQ(run.state.gold, 7) << c.what << ": a refused save changes nothing";
    }
}

// Empty slots are fine away from the encounter screens: travelling towards
// stage 1 of a new world, the current stage is 0.
TEST(Save, TravelAtStageZeroIsARun) {
    SavedRun run;
    std::string reason;
    const std::string text = WithRecord([](GameState& s) {
        s.screen = ScreenState::Travel;
        s.stage = 0;
    });
    EXPECT_TRUE(ReadSave(text, run, reason)) << reason;
}

}  // namespace
