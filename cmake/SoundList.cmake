# The game's sounds, listed once in app/sounds.txt: one row a sound, its
# kind, name, file and whether it loops. Included by CMakeLists.txt: sets
# DUNMARK_SFX_DIR (the build's sound folder, beside the art's),
# DUNMARK_EFFECT_FILES and DUNMARK_MUSIC_FILES (the file names, in number
# order), DUNMARK_SOUND_FILES (both) and DUNMARK_SOUND_TABLE (the shell's
# table, app/SoundFiles.h), and writes the game's names of them
# (game/SoundIds.h) under the build's generated/ folder.

# Reads the list into the rows of each kind: NAME;FILE;PLAY, separated by
# "|"; a malformed row stops the configuration.
function(dunmark_read_sound_list path effects_var music_var)
  file(STRINGS ${path} lines REGEX "^[^#]")
  set(effects "")
  set(music "")
  foreach(line ${lines})
    if(NOT line MATCHES "^(effect|music)[ \t]+([A-Z][A-Za-z0-9]*)[ \t]+([a-z0-9_]+\\.(wav|mp3))[ \t]+(loop|once|-)[ \t]*$")
      message(FATAL_ERROR "${path}: not a row of kind, name, file and play: '${line}'")
    endif()
    set(kind ${CMAKE_MATCH_1})
    set(row "${CMAKE_MATCH_2}!${CMAKE_MATCH_3}!${CMAKE_MATCH_5}")
    if(kind STREQUAL "effect" AND (NOT CMAKE_MATCH_4 STREQUAL "wav" OR NOT CMAKE_MATCH_5 STREQUAL "-"))
      message(FATAL_ERROR "${path}: ${CMAKE_MATCH_2}: an effect is a .wav file and plays as it is (-)")
    endif()
    if(kind STREQUAL "music" AND (NOT CMAKE_MATCH_4 STREQUAL "mp3" OR CMAKE_MATCH_5 STREQUAL "-"))
      message(FATAL_ERROR "${path}: ${CMAKE_MATCH_2}: music is an .mp3 file that loops or plays once")
    endif()
    if(kind STREQUAL "effect")
      list(APPEND effects ${row})
    else()
      list(APPEND music ${row})
    endif()
  endforeach()
  if(NOT effects OR NOT music)
    message(FATAL_ERROR "${path}: no effects or no music")
  endif()
  set(${effects_var} ${effects} PARENT_SCOPE)
  set(${music_var} ${music} PARENT_SCOPE)
endfunction()

# From rows of one kind: the file names, the enum's lines and the table's
# rows.
function(dunmark_sound_rows rows files_var enum_var table_var)
  set(files "")
  set(enum "")
  set(table "")
  set(number 0)
  foreach(row ${rows})
    string(REPLACE "!" ";" fields ${row})
    list(GET fields 0 name)
    list(GET fields 1 file)
    list(GET fields 2 play)
    set(loop false)
    if(play STREQUAL "loop")
      set(loop true)
    endif()
    list(APPEND files ${file})
    string(APPEND enum "    ${name} = ${number},\n")
    string(APPEND table "    {\"../sfx/${file}\", ${loop}},\n")
    math(EXPR number "${number} + 1")
  endforeach()
  set(${files_var} ${files} PARENT_SCOPE)
  set(${enum_var} ${enum} PARENT_SCOPE)
  set(${table_var} ${table} PARENT_SCOPE)
endfunction()

set(DUNMARK_SOUND_LIST ${CMAKE_SOURCE_DIR}/app/sounds.txt)
set(DUNMARK_SFX_DIR ${CMAKE_BINARY_DIR}/sfx)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DUNMARK_SOUND_LIST})
dunmark_read_sound_list(${DUNMARK_SOUND_LIST} effectRows musicRows)
dunmark_sound_rows("${effectRows}" DUNMARK_EFFECT_FILES effectEnum effectTable)
dunmark_sound_rows("${musicRows}" DUNMARK_MUSIC_FILES musicEnum musicTable)
set(DUNMARK_SOUND_FILES ${DUNMARK_EFFECT_FILES} ${DUNMARK_MUSIC_FILES})

# Written only when their text changes, so that a new configuration
# rebuilds nothing.
set(DUNMARK_SOUND_TABLE ${CMAKE_BINARY_DIR}/generated/app/SoundFiles.cpp)
file(CONFIGURE OUTPUT ${DUNMARK_SOUND_TABLE} @ONLY CONTENT
"// Made by the build from app/sounds.txt (cmake/SoundList.cmake): edit the list.
#include \"app/SoundFiles.h\"

const SoundFile effectFiles[] = {
${effectTable}};

const SoundFile musicFiles[] = {
${musicTable}};

const int effectFileCount = sizeof(effectFiles) / sizeof(effectFiles[0]);
const int musicFileCount = sizeof(musicFiles) / sizeof(musicFiles[0]);
")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/game/SoundIds.h @ONLY CONTENT
"// Made by the build from app/sounds.txt (cmake/SoundList.cmake): edit the list.
#pragma once

// The game's sound effects, by number.
enum class Effect : int {
${effectEnum}};

// The game's music, by number.
enum class Music : int {
${musicEnum}};
")
