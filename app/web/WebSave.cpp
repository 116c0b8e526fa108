#include "app/web/WebSave.h"

#include <emscripten.h>

#include <string>
#include <vector>

#include "app/GameRecord.h"
#include "app/Globals.h"
#include "app/Log.h"
#include "game/GameState.h"
#include "game/Random.h"
#include "game/Rules.h"
#include "game/Save.h"

// localStorage, every call of which may throw (a private window, a full
// quota, storage turned off).
// clang-format off
EM_JS(int, StoredLength, (const char* key), {
    try {
        const text = window.localStorage.getItem(UTF8ToString(key));
        return text === null ? -1 : lengthBytesUTF8(text);
    } catch (refused) {
        return -2;
    }
});

EM_JS(void, CopyStored, (const char* key, char* buffer, int size), {
    try {
        stringToUTF8(window.localStorage.getItem(UTF8ToString(key)) || String(), buffer, size);
    } catch (refused) {
        stringToUTF8(String(), buffer, size);
    }
});

EM_JS(bool, Store, (const char* key, const char* text), {
    try {
        window.localStorage.setItem(UTF8ToString(key), UTF8ToString(text));
        return true;
    } catch (refused) {
        return false;
    }
});

EM_JS(bool, Unstore, (const char* key), {
    try {
        window.localStorage.removeItem(UTF8ToString(key));
        return true;
    } catch (refused) {
        return false;
    }
});
// clang-format on

namespace web {

namespace {

const char* const runKey = "dunmark.run";
const char* const damagedKey = "dunmark.run.damaged";
const int absent = -1;
const int refused = -2;

bool storageWorks = true;
bool restored = false;
// What the storage holds, as last written ("" for nothing), and what of the
// record a tick can change, as last seen.
std::string stored;
std::string lastSeen;

void GiveUpStorage() {
    storageWorks = false;
    LogMessage("Storage is unavailable: the run is not saved", "SAVE");
}

std::string Load(const char* key) {
    std::vector<char> buffer(StoredLength(key) + 1);
    CopyStored(key, buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
}

void SetAside(const std::string& text, const std::string& reason) {
    LogMessage(("The saved run is damaged (" + reason + "), a new game starts; kept as " +
                damagedKey).c_str(),
               "SAVE");
    if (!Store(damagedKey, text.c_str()) || !Unstore(runKey)) {
        GiveUpStorage();
    }
}

void Adopt(const SavedRun& run) {
    *game = run.state;
    ChooseLanguage(*game, chosenLanguage);
    RestoreRandomState(run.random);
    LogMessage(("A saved run of version " + run.gameVersion + " goes on").c_str(), "SAVE");
}

bool IsRunUnderWay(const GameState& state) {
    return state.screen != ScreenState::Title && state.screen != ScreenState::GameOver;
}

// The record as a tick leaves it: the animation frame moves with the frames
// drawn, not the ticks.
std::string TickState(const GameState& state) {
    GameState seen = state;
    seen.animFrame = 0;
    return WriteSave(seen, CurrentRandomState(), DUNMARK_VERSION);
}

void Forget() {
    if (!stored.empty() && !Unstore(runKey)) {
        GiveUpStorage();
    }
    stored.clear();
}

}  // namespace

void RestoreRun() {
    restored = true;
    const int length = StoredLength(runKey);
    if (length == refused) {
        GiveUpStorage();
        return;
    }
    if (length == absent || game == nullptr) {
        return;
    }
    const std::string text = Load(runKey);
    SavedRun run;
    std::string reason;
    if (!ReadSave(text, run, reason)) {
        SetAside(text, reason);
        return;
    }
    stored = text;
    Adopt(run);
}

void KeepRun() {
    if (!restored || !storageWorks || game == nullptr) {
        return;
    }
    const std::string seen = TickState(*game);
    if (seen != lastSeen || stored.empty()) {
        lastSeen = seen;
        KeepRunNow();
    }
}

void KeepRunNow() {
    if (!restored || !storageWorks || game == nullptr) {
        return;
    }
    if (!IsRunUnderWay(*game)) {
        Forget();
        return;
    }
    stored = WriteSave(*game, CurrentRandomState(), DUNMARK_VERSION);
    if (!Store(runKey, stored.c_str())) {
        GiveUpStorage();
    }
}

}  // namespace web

// The page's pagehide and visibilitychange: the run as it is this moment.
extern "C" EMSCRIPTEN_KEEPALIVE void dunmark_keep_run() {
    web::KeepRunNow();
}
