# The game's pictures, listed once in app/art.txt: one row a picture, its
# file, texture slot and BMP transparency mode. Included by CMakeLists.txt:
# sets DUNMARK_ART_FILES (the file names, in loading order) and
# DUNMARK_ART_TABLE (the game's table, app/ArtFiles.h, made from the list).

# Reads the list into the file names (NAMES_VAR) and the C++ rows (ROWS_VAR);
# a malformed row stops the configuration.
function(dunmark_read_art_list path names_var rows_var)
  file(STRINGS ${path} lines REGEX "^[^#]")
  set(names "")
  set(rows "")
  foreach(line ${lines})
    if(NOT line MATCHES "^([a-z0-9_]+\\.(bmp|png))[ \t]+([0-9]+)[ \t]+([A-Za-z]+|-)[ \t]*$")
      message(FATAL_ERROR "${path}: not a row of file, slot and mode: '${line}'")
    endif()
    set(name ${CMAKE_MATCH_1})
    set(mode "\"${CMAKE_MATCH_4}\"")
    if(CMAKE_MATCH_2 STREQUAL "png" AND CMAKE_MATCH_4 STREQUAL "-")
      set(mode nullptr)
    elseif(CMAKE_MATCH_2 STREQUAL "png" OR CMAKE_MATCH_4 STREQUAL "-")
      message(FATAL_ERROR "${path}: ${name}: a BMP file has a mode, a PNG file has none (-)")
    endif()
    list(APPEND names ${name})
    list(APPEND rows "{\"../gfx/${name}\", ${CMAKE_MATCH_3}, ${mode}}")
  endforeach()
  if(NOT names)
    message(FATAL_ERROR "${path}: no pictures")
  endif()
  set(${names_var} ${names} PARENT_SCOPE)
  set(${rows_var} ${rows} PARENT_SCOPE)
endfunction()

set(DUNMARK_ART_LIST ${CMAKE_SOURCE_DIR}/app/art.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DUNMARK_ART_LIST})
dunmark_read_art_list(${DUNMARK_ART_LIST} DUNMARK_ART_FILES rows)

list(POP_FRONT rows font_row)
list(JOIN rows ",\n    " other_rows)
set(DUNMARK_ART_TABLE ${CMAKE_BINARY_DIR}/generated/app/ArtFiles.cpp)
# Written only when its text changes, so that a new configuration rebuilds
# nothing.
file(CONFIGURE OUTPUT ${DUNMARK_ART_TABLE} @ONLY CONTENT
"// Made by the build from app/art.txt (cmake/ArtList.cmake): edit the list.
#include \"app/ArtFiles.h\"

const ArtFile fontArt = ${font_row};

const ArtFile otherArt[] = {
    ${other_rows},
};

const int otherArtCount = sizeof(otherArt) / sizeof(otherArt[0]);
")
