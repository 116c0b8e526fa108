#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/Draw.h"
#include "game/GameState.h"
#include "game/Text.h"
#include "tests/support/RecordingGraphicEngine.h"

namespace drawtest {

// The pointer and the left button as one tick of the input engine sees them.
class FakeInput final : public ie::XInputEngine {
public:
    void Update() override {}
    bool KeyChanged(uint32_t, bool, bool) override { return false; }
    bool KeyWasDown(uint32_t) override { return false; }
    bool KeyIsDown(uint32_t) override { return false; }
    int MouseX() override { return x; }
    int MouseY() override { return y; }
    bool ButtonChanged(uint32_t, bool, bool) override { return false; }
    bool ButtonWasDown(uint32_t) override { return false; }
    bool ButtonIsDown(uint32_t button) override { return button == 0 && leftDown; }

    int x = 0;
    int y = 0;
    bool leftDown = false;
};

struct Area {
    float x;
    float y;
    float w;
    float h;
};

struct UvCell {
    float left;
    float top;
    float right;
    float bottom;
};

struct Rgba {
    float r;
    float g;
    float b;
    float a;
};

const Rgba white{1.0f, 1.0f, 1.0f, 0.94f};
const Rgba grey{0.4f, 0.4f, 0.4f, 0.94f};
const Rgba green{0.0f, 1.0f, 0.0f, 0.94f};
const Rgba red{1.0f, 0.0f, 0.0f, 0.94f};

const uint32_t opaque = 0xFFFFFFFFu;
const uint32_t panelShade = 0xB2FFFFFFu;
const uint32_t pressedShade = 0x7FFFFFFFu;

const UvCell whole{0.0f, 0.0f, 1.0f, 1.0f};
const UvCell panel{0.0f, 0.0f, 0.25f, 0.25f};
const UvCell solid{0.75f, 0.0f, 1.0f, 0.25f};
const UvCell hpIconUv{0.5f, 0.0f, 0.75f, 0.25f};
const UvCell attackIconUv{0.0f, 0.0f, 0.25f, 0.25f};
const UvCell defenceIconUv{0.25f, 0.0f, 0.5f, 0.25f};
const UvCell goldIconUv{0.0f, 0.25f, 0.25f, 0.5f};
const UvCell potionIconUv{0.75f, 0.0f, 1.0f, 0.25f};
const UvCell markerUv{0.0f, 0.5f, 0.25f, 0.75f};
const UvCell castleUv{0.5f, 0.5f, 1.0f, 1.0f};

// Cell of the creature sheet (12 x 4 cells): column 3 * group + frame.
inline UvCell Creature(int group, int row, int frame) {
    const int column = 3 * group + frame;
    return UvCell{column / 12.0f, row / 4.0f, (column + 1) / 12.0f, (row + 1) / 4.0f};
}

inline std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

inline std::string Hex(uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", colour);
    return text;
}

// Calls written as readable lines so that a failing sequence shows where it
// went wrong.
inline std::string Bind(int slot) {
    return "bind " + std::to_string(slot);
}

inline std::string QuadLine(float x0, float y0, float x1, float y1, const UvCell& uv,
                            uint32_t colour) {
    return "quad " + Number(x0) + "," + Number(y0) + " " + Number(x1) + "," + Number(y1) +
           " uv " + Number(uv.left) + "," + Number(uv.top) + " " + Number(uv.right) + "," +
           Number(uv.bottom) + " " + Hex(colour);
}

inline std::string Quad(const Area& area, const UvCell& uv, uint32_t colour = opaque) {
    return QuadLine(area.x, area.y, area.x + area.w, area.y + area.h, uv, colour);
}

inline std::string Text(float x, float y, const std::string& bytes, const Rgba& c = white) {
    return "text " + Number(x) + "," + Number(y) + " \"" + bytes + "\" " + Number(c.r) + "," +
           Number(c.g) + "," + Number(c.b) + "," + Number(c.a);
}

// A recorded quad must be an upright rectangle whose corners carry the
// corners of one texture cell and one colour; anything else is shown whole.
inline std::string DescribeQuad(const ge::Quad& quad) {
    const ge::QuadVertex* v = quad.vertices;
    const bool upright = v[1].x == v[3].x && v[1].y == v[0].y && v[2].x == v[0].x &&
                         v[2].y == v[3].y && v[1].u == v[3].u && v[1].v == v[0].v &&
                         v[2].u == v[0].u && v[2].v == v[3].v;
    const bool oneColour =
        v[0].colour == v[1].colour && v[0].colour == v[2].colour && v[0].colour == v[3].colour;
    if (upright && oneColour) {
        return QuadLine(v[0].x, v[0].y, v[3].x, v[3].y, UvCell{v[0].u, v[0].v, v[3].u, v[3].v},
                        v[0].colour);
    }
    std::string all = "odd quad";
    for (int i = 0; i < 4; i++) {
        all += " (" + Number(v[i].x) + "," + Number(v[i].y) + " " + Number(v[i].u) + "," +
               Number(v[i].v) + " " + Hex(v[i].colour) + ")";
    }
    return all;
}

inline std::vector<std::string> Describe(const testsupport::RecordingGraphicEngine& graphics) {
    using testsupport::GraphicCallKind;
    std::vector<std::string> lines;
    for (const testsupport::GraphicCall& call : graphics.calls) {
        switch (call.kind) {
        case GraphicCallKind::BindTexture:
            lines.push_back(Bind(call.slot));
            break;
        case GraphicCallKind::DrawQuad:
            lines.push_back(DescribeQuad(call.quad));
            break;
        case GraphicCallKind::DrawText:
            lines.push_back(Text(call.x, call.y, call.text,
                                 Rgba{call.red, call.green, call.blue, call.alpha}));
            break;
        default:
            lines.push_back("frame call " + std::to_string(static_cast<int>(call.kind)));
            break;
        }
    }
    return lines;
}

inline Encounter MakeEncounter(EncounterType type, int32_t hp, int32_t attack, int column,
                               int row, const char* name, const char* description) {
    Encounter encounter;
    encounter.type = type;
    encounter.hp = hp;
    encounter.attack = attack;
    encounter.spriteColumn = column;
    encounter.spriteRow = row;
    encounter.name = Cp1251(name);
    encounter.description = Cp1251(description);
    return encounter;
}

class DrawTest : public ::testing::Test {
protected:
    // One frame, recorded alone.
    std::vector<std::string> Draw() {
        graphics.Reset();
        DrawGame(state, graphics, input);
        return Describe(graphics);
    }

    // Puts the next call at the given animFrame.
    void NextFrameAt(int32_t animFrame) { state.animFrame = animFrame - 1; }

    static size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
        for (size_t i = 0; i < lines.size(); i++) {
            if (lines[i] == line) {
                return i;
            }
        }
        return lines.size();
    }

    GameState state;
    testsupport::RecordingGraphicEngine graphics;
    FakeInput input;
};

}  // namespace drawtest
