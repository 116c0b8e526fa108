#include "app/MuteFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Log.h"

namespace {

const char* const tag = "APP";
const char* const onText = "on\n";
const char* const offText = "off\n";

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string StateFolder() {
    const char* const state = std::getenv("XDG_STATE_HOME");
    if (IsAbsolute(state)) {
        return std::string(state) + "/dunmark";
    }
    const char* const home = std::getenv("HOME");
    if (IsAbsolute(home)) {
        return std::string(home) + "/.local/state/dunmark";
    }
    return "";
}

void Complain(const std::string& what) {
    LogMessage(what.c_str(), tag);
}

// Makes each missing folder of the path, private to the user.
bool MakeFolders(const std::string& path) {
    for (size_t end = path.find('/', 1); ; end = path.find('/', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (end == std::string::npos) {
            return true;
        }
    }
}

}  // namespace

std::string MuteFilePath() {
    const std::string folder = StateFolder();
    return folder.empty() ? folder : folder + "/mute";
}

bool ReadMuteFile() {
    const std::string path = MuteFilePath();
    FILE* const file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char text[8];  // longer than either answer, so that a longer file differs
    const std::string said(text, std::fread(text, 1, sizeof(text), file));
    std::fclose(file);
    if (said == onText) {
        return true;
    }
    if (said != offText) {
        Complain("Ignoring " + path + ": it says neither on nor off");
    }
    return false;
}

void WriteMuteFile(bool muted) {
    const std::string path = MuteFilePath();
    if (path.empty()) {
        Complain("Cannot keep the mute choice: neither XDG_STATE_HOME nor HOME is absolute");
        return;
    }
    const std::string folder = path.substr(0, path.rfind('/'));
    FILE* const file = MakeFolders(folder) ? std::fopen(path.c_str(), "wb") : nullptr;
    const char* const text = muted ? onText : offText;
    const bool written = file != nullptr && std::fputs(text, file) >= 0;
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        Complain("Cannot keep the mute choice in " + path + ": " + std::strerror(errno));
    }
}

bool StartsMuted(bool muteOption) {
    return muteOption || ReadMuteFile();
}
