#!/usr/bin/env bash
# The game sees the engines only through their interfaces: every quoted
# include in game/ names a header of game/ itself, an X... interface of ge/,
# ie/ or se/, or ge/Quad.h. Anything else (the shell's app/, a concrete engine
# or adapter, a toolkit) fails, with the offending lines.
#   bash include_boundary.sh SOURCE_DIR        checks SOURCE_DIR/game
#   bash include_boundary.sh --self-test       proves the check can fail
set -euo pipefail

allowed='^(game/[A-Za-z0-9_]+\.h|(ge|ie|se)/X[A-Za-z0-9_]+\.h|ge/Quad\.h)$'

# Prints every include of the folder that is not allowed; fails if any.
check() {
  local folder=$1 bad=0 file header
  for file in "$folder"/*.h "$folder"/*.cpp; do
    [[ -e "$file" ]] || continue
    while IFS= read -r header; do
      if [[ ! "$header" =~ $allowed ]]; then
        echo "$file: includes $header"
        bad=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    # A toolkit or engine library reached through angle brackets.
    if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(FL/|GL/|GLES|AL/|mpg123|lodepng|emscripten)' "$file"; then
      echo "$file: includes a toolkit or engine library"
      bad=1
    fi
  done
  return $bad
}

if [[ "${1:-}" == --self-test ]]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  printf '#include "game/GameState.h"\n#include "ge/XGraphicEngine.h"\n#include <string>\n' > "$scratch/Good.cpp"
  check "$scratch" || { echo "self-test: allowed includes were refused"; exit 1; }
  for wrong in '"app/Globals.h"' '"ie/ZInputEngineAdapter.h"' '"ge/gl/ZGraphicEngineOpenGL.h"' '<FL/Fl.H>'; do
    printf '#include %s\n' "$wrong" > "$scratch/Bad.cpp"
    if check "$scratch" > /dev/null; then
      echo "self-test: #include $wrong was let through"
      exit 1
    fi
  done
  echo "self-test: passed"
  exit 0
fi

check "${1:?usage: include_boundary.sh SOURCE_DIR | --self-test}/game"
echo "game/ includes only its own headers and the engines' interfaces"
