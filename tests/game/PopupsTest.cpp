#include "game/Popups.h"

#include <gtest/gtest.h>

#include "game/GameState.h"

namespace {

void ExpectLastPopup(const GameState& state, int32_t x, int32_t y, int32_t value) {
    ASSERT_FALSE(state.popups.empty());
    const StatPopup& popup = state.popups.back();
    EXPECT_EQ(popup.x, x);
    EXPECT_EQ(popup.y, y);
    EXPECT_EQ(popup.value, value);
    EXPECT_EQ(popup.life, 100);
}

TEST(StatPopups, HealthIsClampedButThePopupShowsTheAmountAsked) {
    GameState state;
    state.hp = 20;
    ChangeHp(state, -30);
    EXPECT_EQ(state.hp, 0);
    ExpectLastPopup(state, 50, 35, -30);

    state.hp = 100;
    ChangeHp(state, 10);
    EXPECT_EQ(state.hp, 100);
    ExpectLastPopup(state, 50, 35, 10);

    state.hp = 95;
    ChangeHp(state, 100);
    EXPECT_EQ(state.hp, 100);
    ExpectLastPopup(state, 50, 35, 100);

    ChangeHp(state, 0);
    EXPECT_EQ(state.hp, 100);
    ExpectLastPopup(state, 50, 35, 0);
    EXPECT_EQ(state.popups.size(), 4u);
}

TEST(StatPopups, AttackAndDefenceRiseByOneWithAPopupEachTime) {
    GameState state;
    IncreaseAttack(state);
    EXPECT_EQ(state.attack, 5);
    ExpectLastPopup(state, 110, 35, 1);
    IncreaseDefence(state);
    IncreaseDefence(state);
    EXPECT_EQ(state.defence, 3);
    ExpectLastPopup(state, 170, 35, 1);
    EXPECT_EQ(state.popups.size(), 3u);
}

TEST(StatPopups, GoldAndPotionsAreUnbounded) {
    GameState state;
    ChangeGold(state, -150);
    EXPECT_EQ(state.gold, -50);
    ExpectLastPopup(state, 230, 35, -150);
    ChangePotions(state, -5);
    EXPECT_EQ(state.potions, -2);
    ExpectLastPopup(state, 290, 35, -5);
}

TEST(StatPopups, MonsterHealthNeverGoesBelowZero) {
    GameState state;
    state.stage = 3;
    state.slots[3].hp = 4;
    ChangeMonsterHp(state, -10);
    EXPECT_EQ(state.slots[3].hp, 0);
    ExpectLastPopup(state, 160, 105, -10);
    ChangeMonsterHp(state, -10);
    EXPECT_EQ(state.slots[3].hp, 0);
    ChangeMonsterHp(state, 500);
    EXPECT_EQ(state.slots[3].hp, 500);
    EXPECT_EQ(state.slots[2].hp, 0);
}

TEST(StatPopups, AddAppendsAsGivenAndClearEmptiesTheList) {
    GameState state;
    AddPopup(state, StatPopup{1, 2, 3, 0});
    AddPopup(state, StatPopup{4, 5, 6, -8});
    ChangeGold(state, 1);
    ASSERT_EQ(state.popups.size(), 3u);
    EXPECT_EQ(state.popups[0].life, 0);
    EXPECT_EQ(state.popups[1].value, 6);
    ClearPopups(state);
    EXPECT_TRUE(state.popups.empty());
}

TEST(MessageQueueOrder, MessagesComeOutInTheOrderPushed) {
    MessageQueue queue;
    EXPECT_TRUE(queue.IsEmpty());
    queue.PushMessage("first");
    queue.PushMessage("second\nline");
    EXPECT_EQ(queue.Count(), 2u);
    EXPECT_EQ(queue.FrontMessage(), "first");
    queue.PopMessage();
    EXPECT_EQ(queue.FrontMessage(), "second\nline");
    queue.PopMessage();
    EXPECT_TRUE(queue.IsEmpty());
}

TEST(MessageQueueOrder, TextsAreCopiedIn) {
    MessageQueue queue;
    std::string text = "Level UP!";
    queue.PushMessage(text);
    text[0] = 'X';
    EXPECT_EQ(queue.FrontMessage(), "Level UP!");
}

TEST(MessageQueueOrder, EmptyQueueIgnoresPopAndHasAnEmptyFront) {
    MessageQueue queue;
    queue.PopMessage();
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_EQ(queue.FrontMessage(), "");
    queue.PushMessage("a");
    queue.PopMessage();
    queue.PopMessage();
    EXPECT_EQ(queue.FrontMessage(), "");
}

}  // namespace
