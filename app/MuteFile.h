#pragma once

#include <string>

// The desktop keeps the player's choice of mute in the file "mute" of the
// game's state folder, $XDG_STATE_HOME/dunmark/ (~/.local/state/dunmark/ when
// XDG_STATE_HOME is unset, empty or relative): "on" or "off" and a newline.
// The page keeps its own in its storage.

// The file's path; "" when neither XDG_STATE_HOME nor HOME is absolute.
std::string MuteFilePath();

// The kept choice: false when there is none. A file that says anything else
// is ignored with one log line.
bool ReadMuteFile();

// Keeps the choice, making the state folder (private to the user) if need
// be. A file that cannot be written is given up with one log line.
void WriteMuteFile(bool muted);

// Whether the desktop game starts muted: --mute says so for this run;
// otherwise the kept choice does.
bool StartsMuted(bool muteOption);
