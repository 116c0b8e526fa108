#pragma once

#include <string>

#include "ge/XGraphicEngine.h"

// Texture slots of the game's art.
const int interfaceSheet = 5;
const int iconSheet = 6;
const int creatureSheet = 7;
const int titlePicture = 9;
const int firstTerrain = 10;
const int terrainCount = 7;

// A part of an image in texture coordinates, v growing downward.
struct TexCell {
    float left;
    float top;
    float right;
    float bottom;
};

struct Rect {
    float x;
    float y;
    float w;
    float h;
};

struct TextColour {
    float r;
    float g;
    float b;
    float a;
};

constexpr TextColour textWhite{1.0f, 1.0f, 1.0f, 0.94f};
constexpr TextColour textGrey{0.4f, 0.4f, 0.4f, 0.94f};
constexpr TextColour textGreen{0.0f, 1.0f, 0.0f, 0.94f};
constexpr TextColour textRed{1.0f, 0.0f, 0.0f, 0.94f};

constexpr TexCell wholeImage{0.0f, 0.0f, 1.0f, 1.0f};

// Interface sheet.
constexpr TexCell panelCell{0.0f, 0.0f, 0.25f, 0.25f};
constexpr TexCell solidCell{0.75f, 0.0f, 1.0f, 0.25f};

// Icon sheet.
constexpr TexCell hpIcon{0.5f, 0.0f, 0.75f, 0.25f};
constexpr TexCell attackIcon{0.0f, 0.0f, 0.25f, 0.25f};
constexpr TexCell defenceIcon{0.25f, 0.0f, 0.5f, 0.25f};
constexpr TexCell goldIcon{0.0f, 0.25f, 0.25f, 0.5f};
constexpr TexCell potionIcon{0.75f, 0.0f, 1.0f, 0.25f};
constexpr TexCell roadMarker{0.0f, 0.5f, 0.25f, 0.75f};
constexpr TexCell castleCell{0.5f, 0.5f, 1.0f, 1.0f};

// Creature sheet: column group 0..3 of three animation frames, row 0..3.
TexCell CreatureCell(int group, int row, int frame);

// The hero as the world view shows him when not walking.
const TexCell& HeroStandingCell();

const float creatureWidth = 24.0f;
const float creatureHeight = 32.0f;

// Draws cells and texts through a graphics engine; holds nothing else.
class Painter final {
public:
    explicit Painter(ge::XGraphicEngine& graphics) : graphics(graphics) {}

    void Bind(int slot) const;
    void Cell(const Rect& rect, const TexCell& cell) const;
    // The cell with its alpha scaled by the factor.
    void FadedCell(const Rect& rect, const TexCell& cell, float alpha) const;
    void Text(float x, float y, const std::string& text, const TextColour& colour) const;

private:
    void Draw(const Rect& rect, const TexCell& cell, float alpha) const;

    ge::XGraphicEngine& graphics;
};
