#include "game/Draw.h"

#include <string>
#include <vector>

#include "game/DrawScreens.h"
#include "game/TextTable.h"

namespace {

const int32_t animCycle = 128;
const int32_t animPhase = 32;

enum class TitleElement { Picture, Panel, Creature, Text, Prompt };

// One row of the title screen. Pictures use the whole rectangle and no text,
// texts only the rectangle's x and y.
struct TitleRow {
    TitleElement element;
    Rect area;
    int creatureRow;
    TextKey text;
    TextColour colour;
};

const std::vector<TitleRow>& TitleRows() {
    static const std::vector<TitleRow> rows = {
        {TitleElement::Picture, {0, 40, 320, 160}, 0, TextKey::GameName, textWhite},
        {TitleElement::Panel, {40, 60, 240, 120}, 0, TextKey::GameName, textWhite},
        {TitleElement::Text, {160, 5, 0, 0}, 0, TextKey::GameName, textWhite},
        {TitleElement::Text, {160, 20, 0, 0}, 0, TextKey::TitleSubtitle, textGrey},
        {TitleElement::Text, {160, 70, 0, 0}, 0, TextKey::TitleStory, textWhite},
        {TitleElement::Creature, {88, 115, creatureWidth, creatureHeight}, 1, TextKey::GameName,
         textWhite},
        {TitleElement::Creature, {148, 115, creatureWidth, creatureHeight}, 3, TextKey::GameName,
         textWhite},
        {TitleElement::Creature, {208, 115, creatureWidth, creatureHeight}, 2, TextKey::GameName,
         textWhite},
        {TitleElement::Text, {160, 155, 0, 0}, 0, TextKey::TitleCall, textWhite},
        {TitleElement::Prompt, {160, 205, 0, 0}, 0, TextKey::ContinuePrompt, textWhite},
        {TitleElement::Text, {160, 220, 0, 0}, 0, TextKey::TitleCredits, textGrey},
    };
    return rows;
}

const float titlePanelAlpha = 0.7f;

bool PromptShows(int frameIndex) {
    return frameIndex % 2 == 1;
}

void DrawTitleRow(const DrawContext& context, const TitleRow& row) {
    const Painter& painter = context.painter;
    switch (row.element) {
    case TitleElement::Picture:
        painter.Bind(titlePicture);
        painter.Cell(row.area, wholeImage);
        break;
    case TitleElement::Panel:
        painter.Bind(interfaceSheet);
        painter.FadedCell(row.area, panelCell, titlePanelAlpha);
        break;
    case TitleElement::Creature:
        painter.Bind(creatureSheet);
        painter.Cell(row.area, CreatureCell(0, row.creatureRow, context.frameIndex));
        break;
    case TitleElement::Prompt:
        if (PromptShows(context.frameIndex)) {
            painter.Text(row.area.x, row.area.y, context.Say(row.text), row.colour);
        }
        break;
    case TitleElement::Text:
        painter.Text(row.area.x, row.area.y, context.Say(row.text), row.colour);
        break;
    }
}

void DrawTitle(const DrawContext& context) {
    for (const TitleRow& row : TitleRows()) {
        DrawTitleRow(context, row);
    }
}

void DrawWorldCard(const DrawContext& context) {
    const Painter& painter = context.painter;
    painter.Text(160, 90, Fill(context.Say(TextKey::WorldCard), {context.state.world}), textWhite);
    painter.Bind(creatureSheet);
    painter.Cell({140, 100, creatureWidth, creatureHeight}, CreatureCell(0, 1, context.frameIndex));
    painter.Text(170, 115, context.Say(TextKey::Lives), textWhite);
}

void DrawGameOver(const DrawContext& context) {
    context.painter.Text(160, 100, context.Say(TextKey::GameOver), textWhite);
    if (PromptShows(context.frameIndex)) {
        context.painter.Text(160, 205, context.Say(TextKey::ContinuePrompt), textWhite);
    }
}

void AdvanceAnimation(GameState& state) {
    state.animFrame++;
    if (state.animFrame >= animCycle) {
        state.animFrame = 0;
    }
}

}  // namespace

int AnimationFrameIndex(int32_t animFrame) {
    const int index = animFrame / animPhase;
    return index == 3 ? 1 : index;
}

int VirtualPointer(int gameCoordinate) {
    return gameCoordinate / 2;
}

void DrawGame(GameState& state, ge::XGraphicEngine& graphics, ie::XInputEngine& input) {
    AdvanceAnimation(state);
    const DrawContext context{state, Painter(graphics), input, AnimationFrameIndex(state.animFrame)};
    switch (state.screen) {
    case ScreenState::Title:
        DrawTitle(context);
        break;
    case ScreenState::WorldIntro:
        DrawWorldCard(context);
        break;
    case ScreenState::GameOver:
        DrawGameOver(context);
        break;
    default:
        DrawWorldView(context);
        break;
    }
}
