#include "game/Save.h"

#include <cstdio>
#include <initializer_list>
#include <limits>
#include <vector>

namespace {

const char* const magic = "dunmark-save";
const char* const checksumName = "checksum";
const size_t checksumDigits = 8;
const size_t longestGameVersion = 40;
const int64_t mostMessages = 64;
const int32_t longestTimer = 100;
const int32_t animCycle = 128;
const int32_t lastScreen = static_cast<int32_t>(ScreenState::GameOver);

using Numbers = std::vector<int64_t>;

// FNV-1a, 32 bits.
uint32_t Checksum(const std::string& bytes) {
    uint32_t hash = 2166136261u;
    for (const char byte : bytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
    }
    return hash;
}

std::string Hex(uint32_t value) {
    char digits[checksumDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", value);
    return digits;
}

// ---- writing

void WriteLine(std::string& out, const char* name, const Numbers& numbers) {
    out += name;
    for (const int64_t number : numbers) {
        out += ' ';
        out += std::to_string(number);
    }
    out += '\n';
}

void WriteRecord(std::string& out, const GameState& s) {
    WriteLine(out, "record",
              {s.timer, static_cast<int32_t>(s.screen), s.animFrame, s.world, s.stage, s.exp,
               s.level, s.hp, s.gold, s.potions, s.attack, s.defence,
               static_cast<int32_t>(s.language)});
    for (const Encounter& slot : s.slots) {
        WriteLine(out, "slot",
                  {static_cast<int32_t>(slot.type), slot.hp, slot.attack, slot.exp, slot.gold,
                   slot.spriteColumn, slot.spriteRow});
    }
    WriteLine(out, "messages", {static_cast<int64_t>(s.messages.Count())});
    for (const Message& message : s.messages.All()) {
        Numbers numbers = {static_cast<int32_t>(message.key)};
        numbers.insert(numbers.end(), message.numbers.begin(), message.numbers.end());
        WriteLine(out, "message", numbers);
    }
}

void WriteRandom(std::string& out, const RandomState& random) {
    Numbers numbers = {random.front};
    numbers.insert(numbers.end(), random.words, random.words + randomWords);
    WriteLine(out, "random", numbers);
}

// ---- reading

// The text's lines, each split at single spaces.
using Line = std::vector<std::string>;

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    Line line(1);
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.assign(1, std::string());
        } else if (c == ' ') {
            line.emplace_back();
        } else {
            line.back() += c;
        }
    }
    return lines;
}

// A decimal number of at most ten digits, with a minus sign if negative, as
// std::to_string writes it: no leading zero, no "-0".
bool ParseNumber(const std::string& token, int64_t& value) {
    const bool negative = !token.empty() && token[0] == '-';
    const std::string digits = token.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) {
        return false;
    }
    value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    return !(negative && value == 0);
}

// Reads the lines of the body in order, each of a name and numbers in range.
class LineReader {
public:
    explicit LineReader(std::vector<Line> lines) : lines(std::move(lines)) {}

    bool Read(const char* name, size_t count, int64_t lowest, int64_t highest, Numbers& out) {
        if (next >= lines.size()) {
            return Fail(std::string("no ") + name + " line");
        }
        const Line& line = lines[next++];
        if (line[0] != name || line.size() != count + 1) {
            return Fail("line " + std::to_string(next) + " is not a " + name + " line of " +
                        std::to_string(count) + " numbers");
        }
        out.assign(count, 0);
        for (size_t i = 0; i < count; i++) {
            if (!ParseNumber(line[i + 1], out[i]) || out[i] < lowest || out[i] > highest) {
                return Fail(std::string("bad number in the ") + name + " line");
            }
        }
        return true;
    }

    bool Int32s(const char* name, size_t count, Numbers& out) {
        return Read(name, count, std::numeric_limits<int32_t>::min(),
                    std::numeric_limits<int32_t>::max(), out);
    }

    // The message line of any length: its key decides how many numbers follow.
    bool MessageLine(Message& message) {
        if (next >= lines.size() || lines[next].size() < 2) {
            return Fail("a message line is missing or empty");
        }
        int64_t key = 0;
        if (!ParseNumber(lines[next][1], key) || key < 0 || key >= textKeyCount ||
            BoxOf(static_cast<TextKey>(key)) != TextBox::Message) {
            return Fail("a message has no message key");
        }
        message.key = static_cast<TextKey>(key);
        Numbers numbers;
        if (!Int32s("message", NumbersOf(message.key) + 1, numbers)) {
            return false;
        }
        message.numbers.assign(numbers.begin() + 1, numbers.end());
        return true;
    }

    bool AtEnd() { return next == lines.size() || Fail("lines after the random state"); }

    bool Fail(const std::string& why) {
        reason = why;
        return false;
    }

    std::string reason;

private:
    std::vector<Line> lines;
    size_t next = 0;
};

bool ReadRecord(LineReader& reader, GameState& s) {
    Numbers n;
    if (!reader.Int32s("record", 13, n)) {
        return false;
    }
    s.timer = n[0];
    s.screen = static_cast<ScreenState>(n[1]);
    s.animFrame = n[2];
    s.world = n[3];
    s.stage = n[4];
    s.exp = n[5];
    s.level = n[6];
    s.hp = n[7];
    s.gold = n[8];
    s.potions = n[9];
    s.attack = n[10];
    s.defence = n[11];
    s.language = static_cast<Language>(n[12]);
    return true;
}

bool ReadSlots(LineReader& reader, GameState& s) {
    for (Encounter& slot : s.slots) {
        Numbers n;
        if (!reader.Int32s("slot", 7, n)) {
            return false;
        }
        if (n[0] < 0 || n[0] >= encounterKinds) {
            return reader.Fail("a slot of no known type");
        }
        slot.type = static_cast<EncounterType>(n[0]);
        slot.hp = n[1];
        slot.attack = n[2];
        slot.exp = n[3];
        slot.gold = n[4];
        slot.spriteColumn = n[5];
        slot.spriteRow = n[6];
    }
    return true;
}

bool ReadMessages(LineReader& reader, GameState& s) {
    Numbers count;
    if (!reader.Read("messages", 1, 0, mostMessages, count)) {
        return false;
    }
    for (int64_t i = 0; i < count[0]; i++) {
        Message message;
        if (!reader.MessageLine(message)) {
            return false;
        }
        s.messages.PushMessage(message);
    }
    return true;
}

bool ReadRandom(LineReader& reader, RandomState& random) {
    Numbers n;
    if (!reader.Read("random", randomWords + 1, 0, std::numeric_limits<uint32_t>::max(), n)) {
        return false;
    }
    random.front = static_cast<int32_t>(n[0]);
    for (int i = 0; i < randomWords; i++) {
        random.words[i] = static_cast<uint32_t>(n[i + 1]);
    }
    return IsRandomState(random) || reader.Fail("the random state's position is out of range");
}

bool IsEncounterScreen(ScreenState screen) {
    return screen == ScreenState::Arrive || screen == ScreenState::InEncounter ||
           screen == ScreenState::Depart;
}

// The rules between the fields; "" when all hold.
std::string Broken(const GameState& s) {
    const int32_t screen = static_cast<int32_t>(s.screen);
    const int32_t language = static_cast<int32_t>(s.language);
    if (screen < 0 || screen > lastScreen) {
        return "unknown screen " + std::to_string(screen);
    }
    if (s.timer < 0 || s.timer > longestTimer) {
        return "timer " + std::to_string(s.timer) + " outside 0..100";
    }
    if (s.animFrame < 0 || s.animFrame >= animCycle) {
        return "animation frame " + std::to_string(s.animFrame) + " outside 0..127";
    }
    if (s.stage < 0 || s.stage > dragonStage) {
        return "stage " + std::to_string(s.stage) + " outside 0..7";
    }
    if (IsEncounterScreen(s.screen) &&
        (s.stage < 1 || s.slots[s.stage].type == EncounterType::None)) {
        return "an encounter screen at stage " + std::to_string(s.stage) + " without an encounter";
    }
    if (s.potions < 0) {
        return "negative potions";
    }
    if (language < 0 || language >= languageCount) {
        return "unknown language " + std::to_string(language);
    }
    return "";
}

bool ReadHeader(const std::string& header, std::string& reason) {
    LineReader reader(SplitLines(header));
    Numbers format;
    if (!reader.Read(magic, 1, 0, std::numeric_limits<int32_t>::max(), format)) {
        reason = "not a save";
        return false;
    }
    if (format[0] != saveFormat) {
        reason = "format " + std::to_string(format[0]) + ", this game reads " +
                 std::to_string(saveFormat);
        return false;
    }
    return true;
}

}  // namespace

std::string WriteSave(const GameState& state, const RandomState& random,
                      const std::string& gameVersion) {
    std::string out;
    WriteLine(out, magic, {saveFormat});
    out += "game " + gameVersion + '\n';
    WriteRecord(out, state);
    WriteRandom(out, random);
    return SignedSave(out);
}

std::string SignedSave(const std::string& body) {
    return body + checksumName + ' ' + Hex(Checksum(body)) + '\n';
}

bool ReadSave(const std::string& text, SavedRun& run, std::string& reason) {
    // The header first: a save of another format may be laid out otherwise.
    if (!ReadHeader(text.substr(0, text.find('\n') + 1), reason)) {
        return false;
    }
    const size_t tail = text.rfind(std::string("\n") + checksumName + ' ');
    const size_t digitsAt = tail + 2 + std::string(checksumName).size();
    if (tail == std::string::npos || text.size() != digitsAt + checksumDigits + 1 ||
        text.back() != '\n') {
        reason = "truncated: no checksum at the end";
        return false;
    }
    const std::string body = text.substr(0, tail + 1);
    if (text.compare(digitsAt, checksumDigits, Hex(Checksum(body))) != 0) {
        reason = "checksum does not match";
        return false;
    }
    std::vector<Line> lines = SplitLines(body);
    if (lines.size() < 2 || lines[1].size() != 2 || lines[1][0] != "game" || lines[1][1].empty() ||
        lines[1][1].size() > longestGameVersion) {
        reason = "no game version";
        return false;
    }
    SavedRun read;
    read.gameVersion = lines[1][1];
    lines.erase(lines.begin(), lines.begin() + 2);
    LineReader reader(std::move(lines));
    if (!ReadRecord(reader, read.state) || !ReadSlots(reader, read.state) ||
        !ReadMessages(reader, read.state) || !ReadRandom(reader, read.random) ||
        !reader.AtEnd()) {
        reason = reader.reason;
        return false;
    }
    reason = Broken(read.state);
    if (!reason.empty()) {
        return false;
    }
    NameSlots(read.state);
    run = read;
    return true;
}
