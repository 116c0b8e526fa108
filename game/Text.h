#pragma once

#include <string>

// Converts UTF-8 source text to the CP1251 bytes the game stores and draws.
// ASCII passes through; Cyrillic А..я, Ё, ё and the common typographic marks
// map to their code page bytes; every other character, and every malformed
// or cut-short sequence, becomes one '?'. A null pointer gives "".
std::string Cp1251(const char* utf8);
