#pragma once

// The game's sounds, from ../sfx/ relative to the working directory: the
// effects and the music, each table in number order (game/SoundIds.h). The
// build makes the tables from the list app/sounds.txt.
struct SoundFile {
    const char* path;
    bool loop;  // music only: starts again at its end without a gap
};

extern const SoundFile effectFiles[];
extern const int effectFileCount;
extern const SoundFile musicFiles[];
extern const int musicFileCount;
