#include "game/Text.h"

#include <cstdint>

namespace {

const char unmapped = '?';

struct CodePoint {
    uint32_t value;
    unsigned char cp1251;
};

// Characters outside ASCII and outside А..я that the code page holds and
// that a game text may use.
const CodePoint extraCharacters[] = {
    {0x0401, 0xA8},  // Ё
    {0x0451, 0xB8},  // ё
    {0x2116, 0xB9},  // №
    {0x00AB, 0xAB},  // «
    {0x00BB, 0xBB},  // »
    {0x2013, 0x96},  // en dash
    {0x2014, 0x97},  // em dash
    {0x2026, 0x85},  // ellipsis
    {0x2018, 0x91},  // left single quote
    {0x2019, 0x92},  // right single quote
    {0x201C, 0x93},  // left double quote
    {0x201D, 0x94},  // right double quote
    {0x00A0, 0xA0},  // no-break space
    {0x00B0, 0xB0},  // degree
    {0x20AC, 0x88},  // euro
};

char Encode(uint32_t value) {
    if (value < 0x80) {
        return static_cast<char>(value);
    }
    if (value >= 0x0410 && value <= 0x044F) {
        return static_cast<char>(0xC0 + (value - 0x0410));
    }
    for (const CodePoint& point : extraCharacters) {
        if (point.value == value) {
            return static_cast<char>(point.cp1251);
        }
    }
    return unmapped;
}

// Length of the sequence a lead byte announces, 0 for a byte that cannot lead.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one character at text; stores its value and returns how many bytes
// it used, or returns 0 when the bytes there are not a whole well-formed
// character. Never looks past the terminating zero, which is not a
// continuation byte.
int DecodeOne(const unsigned char* text, uint32_t& value) {
    const int length = SequenceLength(text[0]);
    if (length <= 1) {
        value = text[0];
        return length;
    }
    static const unsigned char leadMasks[] = {0, 0, 0x1F, 0x0F, 0x07};
    static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    uint32_t decoded = text[0] & leadMasks[length];
    for (int i = 1; i < length; i++) {
        if (!IsContinuation(text[i])) {
            return 0;
        }
        decoded = (decoded << 6) | (text[i] & 0x3F);
    }
    const bool overlong = decoded < smallest[length];
    const bool surrogate = decoded >= 0xD800 && decoded <= 0xDFFF;
    if (overlong || surrogate || decoded > 0x10FFFF) {
        return 0;
    }
    value = decoded;
    return length;
}

}  // namespace

std::string Cp1251(const char* utf8) {
    std::string out;
    if (utf8 == nullptr) {
        return out;
    }
    const unsigned char* text = reinterpret_cast<const unsigned char*>(utf8);
    while (*text != 0) {
        uint32_t value = 0;
        const int used = DecodeOne(text, value);
        if (used == 0) {
            out += unmapped;
            text++;
            continue;
        }
        out += Encode(value);
        text += used;
    }
    return out;
}
