#include <algorithm>
#include <string>
#include <vector>

#include "game/Draw.h"
#include "game/DrawScreens.h"
#include "game/Rules.h"
#include "game/TextTable.h"

namespace {

const float roadY = 200.0f;
const float heroY = 172.0f;
const float hudTextY = 10.0f;
const float hudIconY = 30.0f;
const float hudValueY = 35.0f;
const float hudIconSize = 20.0f;

// Centre of the stand point of a stage on the road.
int32_t StageCentre(int32_t stage) {
    return 40 * stage + 20;
}

void DrawTerrain(const DrawContext& context) {
    context.painter.Bind(firstTerrain + (context.state.world - 1) % terrainCount);
    context.painter.Cell({0, 60, 320, 160}, wholeImage);
}

void DrawRoad(const DrawContext& context) {
    context.painter.Bind(interfaceSheet);
    for (int gap = 0; gap < 7; gap++) {
        for (int dash = 0; dash < 4; dash++) {
            const float x = static_cast<float>(StageCentre(gap) + 10 * dash);
            context.painter.Cell({x, roadY, 5, 4}, solidCell);
        }
    }
}

void DrawStageMarks(const DrawContext& context) {
    context.painter.Bind(iconSheet);
    for (int k = 0; k < 6; k++) {
        context.painter.Cell({static_cast<float>(50 + 40 * k), 192, 20, 20}, roadMarker);
    }
    context.painter.Cell({280, 172, 40, 40}, castleCell);
}

struct HudIcon {
    TexCell cell;
    float iconX;
    float valueX;
    int32_t (*value)(const GameState& state);
};

const HudIcon hudIcons[] = {
    {hpIcon, 15, 50, [](const GameState& s) { return s.hp; }},
    {attackIcon, 75, 110, [](const GameState& s) { return s.attack + 6 * s.level; }},
    {defenceIcon, 135, 170, [](const GameState& s) { return s.defence + 2 * s.level; }},
    {goldIcon, 195, 230, [](const GameState& s) { return s.gold; }},
    {potionIcon, 255, 290, [](const GameState& s) { return s.potions; }},
};

std::string HudLine(const GameState& state) {
    return Fill(Say(TextKey::HudLine, state.language),
                {state.world, state.stage, state.level, state.exp, 10 * state.level});
}

// Drawn with the icon sheet the stage marks left bound.
void DrawHud(const DrawContext& context) {
    context.painter.Text(160, hudTextY, HudLine(context.state), textWhite);
    for (const HudIcon& icon : hudIcons) {
        context.painter.Cell({icon.iconX, hudIconY, hudIconSize, hudIconSize}, icon.cell);
        context.painter.Text(icon.valueX, hudValueY, std::to_string(icon.value(context.state)),
                             textWhite);
    }
}

void DrawHero(const DrawContext& context) {
    const GameState& state = context.state;
    context.painter.Bind(creatureSheet);
    int32_t x = 8 + 40 * state.stage;
    TexCell cell = HeroStandingCell();
    if (state.screen == ScreenState::Travel) {
        x += (100 - state.timer) * 40 / 100;
        cell = CreatureCell(0, 0, context.frameIndex);
    }
    context.painter.Cell({static_cast<float>(x), heroY, creatureWidth, creatureHeight}, cell);
}

// How far the encounter panel has opened: 0 a point over the hero, 1 full.
float PanelScale(const GameState& state) {
    switch (state.screen) {
    case ScreenState::Arrive:
        return static_cast<float>(100 - state.timer) / 100.0f;
    case ScreenState::Depart:
        return static_cast<float>(state.timer) / 100.0f;
    default:
        return 1.0f;
    }
}

void DrawPanel(const DrawContext& context) {
    const float s = PanelScale(context.state);
    const float centre = static_cast<float>(StageCentre(context.state.stage));
    const Rect panel{centre + s * (40.0f - centre), 202.0f - 147.0f * s, 240.0f * s, 120.0f * s};
    context.painter.Bind(interfaceSheet);
    context.painter.Cell({panel.x - 1, panel.y - 1, panel.w + 2, panel.h + 2}, solidCell);
    context.painter.Cell(panel, panelCell);
}

struct Pointer {
    int x;
    int y;
};

Pointer ReadPointer(ie::XInputEngine& input) {
    return Pointer{VirtualPointer(input.MouseX()), VirtualPointer(input.MouseY())};
}

const float pressedAlpha = 0.5f;

// A lit button: frame, face and, while the left button is held, the pressed
// overlay over the face.
void DrawLitButton(const DrawContext& context, const Rect& frame) {
    const Rect face{frame.x + 1, frame.y + 1, frame.w - 2, frame.h - 2};
    context.painter.Cell(frame, solidCell);
    context.painter.Cell(face, panelCell);
    if (context.input.ButtonIsDown(0)) {
        context.painter.FadedCell(face, solidCell, pressedAlpha);
    }
}

bool ButtonUnderPointer(int button, const Pointer& pointer) {
    return pointer.x >= 42 + 80 * button && pointer.x < 118 + 80 * button &&
           pointer.y >= 130 && pointer.y <= 159;
}

void DrawButtonHighlights(const DrawContext& context) {
    const Pointer pointer = ReadPointer(context.input);
    context.painter.Bind(interfaceSheet);
    for (int button = 0; button < 3; button++) {
        if (ButtonUnderPointer(button, pointer)) {
            const float centre = static_cast<float>(80 + 80 * button);
            DrawLitButton(context, {centre - 38, 130, 76, 30});
        }
    }
}

bool IsPlace(EncounterType type) {
    return type == EncounterType::WizardShop || type == EncounterType::Forge ||
           type == EncounterType::MercenaryCamp;
}

void DrawMonsterStats(const DrawContext& context, const Encounter& encounter) {
    context.painter.Bind(iconSheet);
    context.painter.Cell({130, 100, 20, 20}, hpIcon);
    context.painter.Text(160, 105, std::to_string(encounter.hp), textWhite);
    context.painter.Cell({190, 100, 20, 20}, attackIcon);
    context.painter.Text(220, 105, std::to_string(encounter.attack), textWhite);
}

// The dragon cannot be fled from, so its fleeing caption is left out.
void DrawCaptions(const DrawContext& context, EncounterType type) {
    const Language language = context.state.language;
    context.painter.Text(80, 132, ButtonLabel(type, 0, language), textWhite);
    context.painter.Text(160, 132, ButtonLabel(type, 1, language), textWhite);
    if (IsPlace(type) || context.state.stage != dragonStage) {
        context.painter.Text(240, 132, ButtonLabel(type, 2, language), textWhite);
    }
}

void DrawEncounter(const DrawContext& context) {
    const Encounter& encounter = context.state.slots[context.state.stage];
    context.painter.Text(160, 60, encounter.name, textWhite);
    context.painter.Bind(creatureSheet);
    context.painter.Cell({55, 80, creatureWidth, creatureHeight},
                         CreatureCell(encounter.spriteColumn, encounter.spriteRow,
                                      context.frameIndex));
    context.painter.Text(175, 80, encounter.description, textWhite);
    DrawButtonHighlights(context);
    if (!IsPlace(encounter.type)) {
        DrawMonsterStats(context, encounter);
    }
    DrawCaptions(context, encounter.type);
}

std::string PopupText(int32_t value) {
    const std::string digits = std::to_string(value);
    return value >= 0 ? "+" + digits : digits;
}

// A popup whose life has run out is never drawn or read again: it is dropped,
// so the list holds only popups still rising, however long the game.
void DrawPopups(const DrawContext& context) {
    std::vector<StatPopup>& popups = context.state.popups;
    for (StatPopup& popup : popups) {
        if (popup.life <= 0) {
            continue;
        }
        const float x = static_cast<float>(popup.x) + 5.0f;
        const float y = static_cast<float>(popup.y) -
                        0.2f * static_cast<float>(popupLife - popup.life);
        context.painter.Text(x, y, PopupText(popup.value),
                             popup.value >= 0 ? textGreen : textRed);
        popup.life -= 4;
    }
    popups.erase(std::remove_if(popups.begin(), popups.end(),
                                [](const StatPopup& popup) { return popup.life <= 0; }),
                 popups.end());
}

bool OkUnderPointer(const Pointer& pointer) {
    return pointer.x >= 140 && pointer.x <= 179 && pointer.y >= 130 && pointer.y <= 149;
}

void DrawMessageBox(const DrawContext& context) {
    context.painter.Bind(interfaceSheet);
    context.painter.Cell({59, 79, 202, 82}, solidCell);
    context.painter.Cell({60, 80, 200, 80}, panelCell);
    context.painter.Text(160, 85, context.state.messages.FrontText(context.state.language), textWhite);
    if (OkUnderPointer(ReadPointer(context.input))) {
        DrawLitButton(context, {140, 130, 40, 20});
    }
    context.painter.Text(160, 133, context.Say(TextKey::OkButton), textWhite);
}

bool ShowsPanel(ScreenState screen) {
    return screen == ScreenState::Arrive || screen == ScreenState::InEncounter ||
           screen == ScreenState::Depart;
}

}  // namespace

void DrawWorldView(const DrawContext& context) {
    const ScreenState screen = context.state.screen;
    DrawTerrain(context);
    DrawRoad(context);
    DrawStageMarks(context);
    DrawHud(context);
    DrawHero(context);
    if (ShowsPanel(screen)) {
        DrawPanel(context);
    }
    if (screen == ScreenState::InEncounter) {
        DrawEncounter(context);
    }
    DrawPopups(context);
    if (!context.state.messages.IsEmpty()) {
        DrawMessageBox(context);
    }
}
