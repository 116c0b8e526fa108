#include "game/Popups.h"

#include <gtest/gtest.h>

#include "game/GameState.h"
#include "game/Text.h"

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
    queue.PushMessage(Message{TextKey::LevelUp, {}});
    queue.PushMessage(Message{TextKey::MonsterDefeated, {7, 20}});
    EXPECT_EQ(queue.Count(), 2u);
    EXPECT_EQ(queue.FrontText(Language::English), "Level UP!");
    queue.PopMessage();
    EXPECT_EQ(queue.FrontText(Language::English), "Monster defeated!\nYou got 7 EXP\nand $20");
    EXPECT_EQ(queue.FrontText(Language::Russian), Cp1251("Монстр повержен и\nты получил 7EXP и $20"));
    queue.PopMessage();
    EXPECT_TRUE(queue.IsEmpty());
}

TEST(MessageQueueOrder, NumbersAreCopiedIn) {
    MessageQueue queue;
    Message message{TextKey::MonsterDefeated, {7, 20}};
    queue.PushMessage(message);
    message.numbers[0] = 99;
    EXPECT_EQ(queue.All().front(), (Message{TextKey::MonsterDefeated, {7, 20}}));
}

TEST(MessageQueueOrder, EmptyQueueIgnoresPopAndHasAnEmptyFront) {
    MessageQueue queue;
    queue.PopMessage();
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_EQ(queue.FrontText(Language::Russian), "");
    queue.PushMessage(Message{TextKey::LevelUp, {}});
    queue.PopMessage();
    queue.PopMessage();
    EXPECT_EQ(queue.FrontText(Language::Russian), "");
}

}  // namespace
