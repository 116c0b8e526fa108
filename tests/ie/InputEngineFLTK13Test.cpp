#include "ie/InputEngineFLTK13.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Feeds the engine the way the window does: the toolkit's event fields are
// set, then the event number is handed over.
int SendButton(ie::InputEngineFLTK13& engine, int event, int toolkitButton) {
    Fl::e_keysym = FL_Button + toolkitButton;
    return engine.HandleEvent(event);
}

int SendKey(ie::InputEngineFLTK13& engine, int event, int toolkitKey) {
    Fl::e_keysym = toolkitKey;
    Fl::e_original_keysym = toolkitKey;
    return engine.HandleEvent(event);
}

int SendMove(ie::InputEngineFLTK13& engine, int event, int x, int y) {
    Fl::e_x = x;
    Fl::e_y = y;
    return engine.HandleEvent(event);
}

std::vector<int> KeysDown(ie::InputEngineFLTK13& engine) {
    std::vector<int> down;
    for (uint32_t key = 0; key < 256; key++) {
        if (engine.KeyIsDown(key)) {
            down.push_back(static_cast<int>(key));
        }
    }
    return down;
}

// The key indices one toolkit key sets, seen after one tick.
std::vector<int> IndicesOf(int toolkitKey) {
    ie::InputEngineFLTK13 engine;
    SendKey(engine, FL_KEYDOWN, toolkitKey);
    engine.Update();
    return KeysDown(engine);
}

TEST(InputLatching, NewEngineReportsNothingDown) {
    ie::InputEngineFLTK13 engine;
    EXPECT_TRUE(KeysDown(engine).empty());
    for (uint32_t button = 0; button < 4; button++) {
        EXPECT_FALSE(engine.ButtonIsDown(button));
        EXPECT_FALSE(engine.ButtonWasDown(button));
    }
    EXPECT_EQ(engine.MouseX(), 0);
    EXPECT_EQ(engine.MouseY(), 0);
}

TEST(InputLatching, HeldKeyIsPressedOnceAndDownUntilTheTickAfterRelease) {
    ie::InputEngineFLTK13 engine;
    const uint32_t space = 57;
    SendKey(engine, FL_KEYDOWN, ' ');
    EXPECT_FALSE(engine.KeyIsDown(space)) << "pending until the next tick";

    engine.Update();
    EXPECT_TRUE(engine.KeyChanged(space, false, true));
    EXPECT_TRUE(engine.KeyIsDown(space));
    for (int tick = 0; tick < 3; tick++) {
        engine.Update();
        EXPECT_FALSE(engine.KeyChanged(space, false, true));
        EXPECT_TRUE(engine.KeyWasDown(space));
        EXPECT_TRUE(engine.KeyIsDown(space));
    }

    SendKey(engine, FL_KEYUP, ' ');
    EXPECT_TRUE(engine.KeyIsDown(space));
    engine.Update();
    EXPECT_TRUE(engine.KeyChanged(space, true, false));
    EXPECT_FALSE(engine.KeyIsDown(space));
    engine.Update();
    EXPECT_FALSE(engine.KeyChanged(space, true, false));
    EXPECT_TRUE(engine.KeyChanged(space, false, false));
}

// What each tick shows of the left button and the pointer: "P" pressed this
// tick, "R" released, "D" held, "U" up, then MouseX.
std::string LeftSeen(ie::InputEngineFLTK13& engine) {
    const char* const states[2][2] = {{"U", "P"}, {"R", "D"}};
    return states[engine.ButtonWasDown(0)][engine.ButtonIsDown(0)] + std::to_string(engine.MouseX());
}

// Plays toolkit events: "m" moves the pointer 10 pixels right, "j" too, but
// the toolkit tells only with the next button event; "p" and "r" press and
// release the left button, "|" is a tick. Returns what the ticks saw.
std::string Play(const std::string& events) {
    ie::InputEngineFLTK13 engine;
    Fl::e_x = 0;
    Fl::e_y = 0;
    std::string seen;
    for (const char event : events) {
        if (event == 'm') {
            SendMove(engine, FL_MOVE, Fl::e_x + 10, 0);
        } else if (event == 'j') {
            Fl::e_x += 10;
        } else if (event == 'p' || event == 'r') {
            SendButton(engine, event == 'p' ? FL_PUSH : FL_RELEASE, FL_LEFT_MOUSE);
        } else if (event == '|') {
            engine.Update();
            seen += (seen.empty() ? "" : " ") + LeftSeen(engine);
        }
    }
    return seen;
}

TEST(InputLatching, EveryPressAndReleaseIsSeenByATickWhereItHappened) {
    const struct {
        const char* events;
        const char* seen;
    } cases[] = {
        {"mp|mr||", "P10 R20 U20"},             // moved between the ticks that see it
        {"mpr|||", "P10 R10 U10"},              // pressed and let go between two ticks
        {"mprm|||", "P10 R10 U20"},             // and moved away before the tick
        {"mpm|r|", "P10 R20"},                  // pressed, then dragged before the tick
        {"mp|rm||", "P10 R10 U20"},             // let go, then moved away before the tick
        {"jp|rm||", "P10 R10 U20"},             // the button events tell where they happened
        {"mprmpr|||||", "P10 R10 P20 R20 U20"}, // two clicks between two ticks
        {"mprmp||r||", "P10 R10 P20 R20"},      // a press after a held click waits its turn
        {"p|rp|||", "P0 R0 P0 D0"},             // let go and taken again while held
        {"pp|rr||", "P0 R0 U0"},                // repeated events change nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Play(c.events), c.seen) << c.events;
    }
}

TEST(InputLatching, KeyTappedBetweenTwoTicksIsSeenByBoth) {
    ie::InputEngineFLTK13 engine;
    const uint32_t space = 57;
    SendKey(engine, FL_KEYDOWN, ' ');
    SendKey(engine, FL_KEYUP, ' ');
    engine.Update();
    EXPECT_TRUE(engine.KeyChanged(space, false, true));
    engine.Update();
    EXPECT_TRUE(engine.KeyChanged(space, true, false));
}

TEST(InputLatching, LeftAndRightButtonsAreZeroAndOne) {
    ie::InputEngineFLTK13 engine;
    SendButton(engine, FL_PUSH, FL_RIGHT_MOUSE);
    engine.Update();
    EXPECT_FALSE(engine.ButtonIsDown(0));
    EXPECT_TRUE(engine.ButtonChanged(1, false, true));

    SendButton(engine, FL_PUSH, FL_LEFT_MOUSE);
    SendButton(engine, FL_RELEASE, FL_RIGHT_MOUSE);
    engine.Update();
    EXPECT_TRUE(engine.ButtonChanged(0, false, true));
    EXPECT_TRUE(engine.ButtonChanged(1, true, false));
}

TEST(InputLatching, MiddleButtonIsTakenButChangesNothing) {
    ie::InputEngineFLTK13 engine;
    EXPECT_EQ(SendButton(engine, FL_PUSH, FL_MIDDLE_MOUSE), 1);
    engine.Update();
    for (uint32_t button = 0; button < 4; button++) {
        EXPECT_FALSE(engine.ButtonIsDown(button)) << button;
    }
    EXPECT_EQ(SendButton(engine, FL_RELEASE, FL_MIDDLE_MOUSE), 1);
}

TEST(InputLatching, PointerMovesAreSeenFromTheNextTick) {
    ie::InputEngineFLTK13 engine;
    EXPECT_EQ(SendMove(engine, FL_MOVE, 320, 200), 0);
    EXPECT_EQ(engine.MouseX(), 0);
    engine.Update();
    EXPECT_EQ(engine.MouseX(), 320);
    EXPECT_EQ(engine.MouseY(), 200);
    EXPECT_EQ(SendMove(engine, FL_DRAG, -5, 700), 0);
    EXPECT_EQ(engine.MouseY(), 200);
    engine.Update();
    EXPECT_EQ(engine.MouseX(), -5);
    EXPECT_EQ(engine.MouseY(), 700);
}

TEST(InputLatching, OtherEventsAreNotTaken) {
    ie::InputEngineFLTK13 engine;
    const int others[] = {FL_FOCUS, FL_UNFOCUS, FL_ENTER, FL_LEAVE, FL_MOUSEWHEEL, FL_SHOW, 9999};
    for (int event : others) {
        EXPECT_EQ(engine.HandleEvent(event), 0) << event;
    }
}

TEST(InputLimits, IndicesBeyondTheTablesAnswerFalse) {
    ie::InputEngineFLTK13 engine;
    const uint32_t negativeOne = static_cast<uint32_t>(-1);
    for (uint32_t key : {256u, 300u, 65535u, negativeOne}) {
        EXPECT_FALSE(engine.KeyChanged(key, false, false)) << key;
        EXPECT_FALSE(engine.KeyWasDown(key)) << key;
        EXPECT_FALSE(engine.KeyIsDown(key)) << key;
    }
    for (uint32_t button : {4u, 5u, 255u, negativeOne}) {
        EXPECT_FALSE(engine.ButtonChanged(button, false, false)) << button;
        EXPECT_FALSE(engine.ButtonWasDown(button)) << button;
        EXPECT_FALSE(engine.ButtonIsDown(button)) << button;
    }
    EXPECT_TRUE(engine.KeyChanged(255, false, false));
    EXPECT_TRUE(engine.ButtonChanged(3, false, false));
}

TEST(KeyTable, KeysLandOnTheirScanCodes) {
    const struct {
        int toolkitKey;
        int index;
    } samples[] = {
        {'a', 30}, {'q', 16}, {'z', 44}, {'1', 2}, {'0', 11}, {'\\', 43}, {' ', 57},
        {'\'', 40}, {FL_Escape, 1}, {FL_Enter, 28}, {FL_F + 1, 59}, {FL_F + 10, 68},
        {FL_Control_R, 157}, {FL_Alt_R, 184}, {FL_Delete, 211}, {FL_Pause, 197},
    };
    for (const auto& sample : samples) {
        EXPECT_EQ(IndicesOf(sample.toolkitKey), std::vector<int>{sample.index}) << sample.toolkitKey;
    }
}

TEST(KeyTable, EightyToolkitKeysMapOntoEightyDistinctIndices) {
    ie::InputEngineFLTK13 engine;
    int mapped = 0;
    std::vector<int> owner(256, -1);
    for (int code = 0; code <= 0xffff; code++) {
        EXPECT_EQ(SendKey(engine, FL_KEYDOWN, code), 1);
        engine.Update();
        const std::vector<int> down = KeysDown(engine);
        ASSERT_LE(down.size(), 1u) << code;
        if (!down.empty()) {
            mapped++;
            EXPECT_EQ(owner[down[0]], -1) << "index " << down[0] << " shared by " << code;
            owner[down[0]] = code;
        }
        SendKey(engine, FL_KEYUP, code);
        engine.Update();
    }
    EXPECT_EQ(mapped, 80);
}

TEST(KeyTable, KeysOutsideTheTableAreTakenAndIgnored) {
    ie::InputEngineFLTK13 engine;
    const int outside[] = {'`', 'A', FL_F + 11, FL_F + 12, FL_KP + '5', FL_KP_Enter, FL_Print,
                           FL_Num_Lock, FL_Menu, FL_Meta_L, FL_Meta_R, -1, 0x7fffffff};
    for (int code : outside) {
        EXPECT_EQ(SendKey(engine, FL_KEYDOWN, code), 1) << code;
        engine.Update();
        EXPECT_TRUE(KeysDown(engine).empty()) << code;
        EXPECT_EQ(SendKey(engine, FL_KEYUP, code), 1) << code;
    }
}

}  // namespace
