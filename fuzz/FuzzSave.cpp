// The saved-run reader. The first byte picks the form: odd, the rest is a
// save's body that the target signs, so the reader's checks behind the
// checksum are reached; even, the rest is taken as it comes. A save that is
// read must be written back to the very same text, and every message it
// holds must have a text in each language.
#include <string>

#include "fuzz/FuzzSupport.h"
#include "game/Save.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        text = SignedSave(text);
    }
    SavedRun run;
    std::string reason;
    if (!ReadSave(text, run, reason)) {
        if (reason.empty()) {
            fuzz::Fail("a refused save without a reason");
        }
        return 0;
    }
    if (WriteSave(run.state, run.random, run.gameVersion) != text) {
        fuzz::Fail("a save read does not write back to the same text");
    }
    for (const Message& message : run.state.messages.All()) {
        if (MessageText(message, Language::Russian).empty() ||
            MessageText(message, Language::English).empty()) {
            fuzz::Fail("a message read has no text");
        }
    }
    return 0;
}
