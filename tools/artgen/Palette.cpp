#include "tools/artgen/Palette.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace art {

namespace {

// Cool darks, warm lights: shadows lean blue-violet, highlights lean yellow.
const PaletteEntry palette[] = {
    {'k', "outline", {22, 18, 32, 255}},
    {'d', "night", {20, 22, 50, 255}},
    {'3', "dark grey", {72, 72, 94, 255}},
    {'2', "grey", {126, 128, 150, 255}},
    {'1', "light grey", {186, 190, 206, 255}},
    {'w', "white", {244, 242, 230, 255}},
    {'R', "dark red", {128, 30, 42, 255}},
    {'r', "red", {206, 58, 50, 255}},
    {'o', "orange", {238, 138, 50, 255}},
    {'y', "yellow", {250, 218, 88, 255}},
    {'Y', "ochre", {184, 132, 42, 255}},
    {'N', "dark brown", {88, 54, 38, 255}},
    {'n', "brown", {144, 92, 54, 255}},
    {'t', "tan", {216, 170, 108, 255}},
    {'s', "skin", {244, 196, 156, 255}},
    {'S', "skin shade", {198, 132, 100, 255}},
    {'G', "dark green", {34, 96, 58, 255}},
    {'g', "green", {84, 160, 66, 255}},
    {'l', "light green", {164, 218, 98, 255}},
    {'u', "dark olive", {74, 82, 42, 255}},
    {'h', "olive", {130, 138, 62, 255}},
    {'e', "deep teal", {28, 70, 80, 255}},
    {'a', "teal", {62, 140, 142, 255}},
    {'B', "navy", {36, 44, 106, 255}},
    {'b', "blue", {66, 106, 206, 255}},
    {'c', "sky", {118, 178, 236, 255}},
    {'i', "ice", {198, 228, 248, 255}},
    {'P', "dark purple", {72, 40, 100, 255}},
    {'p', "purple", {134, 68, 166, 255}},
    {'v', "lavender", {192, 152, 232, 255}},
    {'m', "pink", {236, 130, 170, 255}},
    {'x', "rust", {112, 62, 50, 255}},
};

const PaletteEntry* Lookup(char code) {
    static std::vector<const PaletteEntry*> table;
    if (table.empty()) {
        table.assign(256, nullptr);
        for (const PaletteEntry& entry : palette) {
            table[static_cast<unsigned char>(entry.code)] = &entry;
        }
    }
    return table[static_cast<unsigned char>(code)];
}

}  // namespace

const PaletteEntry* PaletteBegin() { return palette; }
const PaletteEntry* PaletteEnd() { return palette + sizeof(palette) / sizeof(palette[0]); }

void Fail(const std::string& message) {
    std::fprintf(stderr, "artgen: %s\n", message.c_str());
    std::exit(1);
}

bool IsInk(char code) {
    return Lookup(code) != nullptr;
}

Colour Ink(char code) {
    const PaletteEntry* entry = Lookup(code);
    if (entry == nullptr) {
        Fail(std::string("unknown colour code '") + code + "'");
    }
    return entry->colour;
}

namespace {

std::vector<std::string> MapRows(const char* text, const char* what) {
    std::vector<std::string> rows;
    std::string row;
    for (const char* c = text;; c++) {
        if (*c == '\n' || *c == '\0') {
            if (!row.empty()) {
                rows.push_back(row);
            }
            row.clear();
            if (*c == '\0') {
                break;
            }
        } else if (*c != ' ' && *c != '\r') {
            row.push_back(*c);
        }
    }
    if (rows.empty()) {
        Fail(std::string(what) + ": empty pixel map");
    }
    for (size_t i = 0; i < rows.size(); i++) {
        if (rows[i].size() != rows[0].size()) {
            Fail(std::string(what) + ": row " + std::to_string(i) + " is " +
                 std::to_string(rows[i].size()) + " wide, not " + std::to_string(rows[0].size()));
        }
    }
    return rows;
}

}  // namespace

Canvas ParseMap(const char* text, const char* what) {
    const std::vector<std::string> rows = MapRows(text, what);
    Canvas canvas(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < canvas.Height(); y++) {
        for (int x = 0; x < canvas.Width(); x++) {
            const char code = rows[y][x];
            if (code != '.' && code != '_') {
                canvas.Set(x, y, Ink(code));
            }
        }
    }
    return canvas;
}

void Stamp(Canvas& target, const char* text, int x, int y, const char* what) {
    const std::vector<std::string> rows = MapRows(text, what);
    for (size_t j = 0; j < rows.size(); j++) {
        for (size_t i = 0; i < rows[j].size(); i++) {
            const char code = rows[j][i];
            const int px = x + static_cast<int>(i);
            const int py = y + static_cast<int>(j);
            if (code == '_') {
                target.Set(px, py, clearColour);
            } else if (code != '.') {
                target.Set(px, py, Ink(code));
            }
        }
    }
}

void Outline(Canvas& canvas, Colour outline) {
    const Canvas source = canvas;
    const int dx[4] = {1, -1, 0, 0};
    const int dy[4] = {0, 0, 1, -1};
    for (int y = 0; y < source.Height(); y++) {
        for (int x = 0; x < source.Width(); x++) {
            if (source.Get(x, y).a != 0) {
                continue;
            }
            for (int k = 0; k < 4; k++) {
                const Colour near = source.Get(x + dx[k], y + dy[k]);
                if (near.a != 0 && near != outline) {
                    canvas.Set(x, y, outline);
                    break;
                }
            }
        }
    }
}

}  // namespace art
