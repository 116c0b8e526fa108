#include "ie/ZInputEngineAdapter.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include "ie/InputEngineFLTK13.h"

namespace {

// The real toolkit engine under the adapter, moved by real move events.
class PointerAdapterTest : public ::testing::Test {
protected:
    void MoveInner(int x, int y) {
        Fl::e_x = x;
        Fl::e_y = y;
        engine.HandleEvent(FL_MOVE);
    }

    // Moves the pointer and runs one tick.
    void MoveAndTick(int x, int y) {
        MoveInner(x, y);
        adapter.Update();
    }

    ie::InputEngineFLTK13 engine;
    ie::ZInputEngineAdapter adapter{&engine};
};

TEST_F(PointerAdapterTest, WholeWindowMapsXOneToOne) {
    adapter.SetMouseArea(0, 0, 640, 480, false);
    for (int x = 0; x <= 640; x++) {
        MoveAndTick(x, 0);
        ASSERT_EQ(adapter.MouseX(), x);
    }
}

TEST_F(PointerAdapterTest, DividingBeforeMultiplyingLosesOneOnSomeRows) {
    adapter.SetMouseArea(0, 0, 640, 480, false);
    const struct {
        int y;
        int expected;
    } rows[] = {{0, 0}, {122, 122}, {123, 122}, {124, 124}, {245, 244}, {246, 245},
                {247, 246}, {248, 248}, {480, 480}};
    for (const auto& row : rows) {
        MoveAndTick(10, row.y);
        EXPECT_EQ(adapter.MouseY(), row.expected) << "y " << row.y;
    }
}

TEST_F(PointerAdapterTest, UnclampedPointerMayLeaveTheWindow) {
    adapter.SetMouseArea(0, 0, 640, 480, false);
    MoveAndTick(-30, 700);
    EXPECT_EQ(adapter.MouseX(), -30);
    EXPECT_EQ(adapter.MouseY(), 700);
}

TEST_F(PointerAdapterTest, ClampHoldsTheCursorAndItReturnsWithThePointer) {
    MoveInner(50, 40);
    engine.Update();
    adapter.SetMouseArea(10, 20, 100, 50, true);
    MoveAndTick(300, 40);
    EXPECT_EQ(adapter.MouseX(), 640) << "cursor held on x + width";
    MoveAndTick(270, 40);
    EXPECT_EQ(adapter.MouseX(), (80 - 10) * 640 / 100);

    MoveAndTick(270, -500);
    EXPECT_EQ(adapter.MouseY(), 0);
    MoveAndTick(270, -490);
    EXPECT_EQ(adapter.MouseY(), 10 * 480 / 50);
    MoveAndTick(-1000, 1000);
    EXPECT_EQ(adapter.MouseX(), 0);
    EXPECT_EQ(adapter.MouseY(), 480);
}

TEST_F(PointerAdapterTest, SetMouseAreaTakesThePointerAfresh) {
    adapter.SetMouseArea(0, 0, 100, 100, true);
    MoveAndTick(500, 50);
    EXPECT_EQ(adapter.MouseX(), 640);
    adapter.SetMouseArea(0, 0, 640, 480, false);
    EXPECT_EQ(adapter.MouseX(), 500);
}

TEST_F(PointerAdapterTest, ConstructorStartsFromTheInnerPointer) {
    MoveInner(200, 100);
    engine.Update();
    ie::ZInputEngineAdapter fresh(&engine);
    fresh.SetMouseArea(0, 0, 320, 240, false);
    EXPECT_EQ(fresh.MouseX(), 400);
    EXPECT_EQ(fresh.MouseY(), 200);
}

TEST_F(PointerAdapterTest, EmptyAreaReportsZeroInsteadOfDividingByZero) {
    MoveAndTick(77, 33);
    EXPECT_EQ(adapter.MouseX(), 0);
    EXPECT_EQ(adapter.MouseY(), 0);
}

TEST_F(PointerAdapterTest, KeysAndButtonsPassThrough) {
    adapter.SetMouseArea(0, 0, 640, 480, false);
    Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
    engine.HandleEvent(FL_PUSH);
    Fl::e_original_keysym = FL_Escape;
    engine.HandleEvent(FL_KEYDOWN);
    adapter.Update();
    EXPECT_TRUE(adapter.ButtonChanged(0, false, true));
    EXPECT_TRUE(adapter.ButtonIsDown(0));
    EXPECT_FALSE(adapter.ButtonWasDown(0));
    EXPECT_TRUE(adapter.KeyChanged(1, false, true));
    EXPECT_TRUE(adapter.KeyIsDown(1));
    EXPECT_FALSE(adapter.KeyWasDown(1));
    EXPECT_FALSE(adapter.KeyIsDown(256));
    EXPECT_FALSE(adapter.ButtonIsDown(4));
}

}  // namespace
