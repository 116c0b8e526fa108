#!/usr/bin/env bash
# Line and branch coverage of the game's own sources by the fuzz corpora:
#   bash fuzz/coverage.sh [CORPUS_ROOT]   default build-fuzz/corpus
# Runs every input of CORPUS_ROOT/<target> and CORPUS_ROOT/../corpus-seed/<target>
# once through targets built with coverage mapping in build-fuzz-cov/.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
corpus=${1:-$top/build-fuzz/corpus}
seeds=$(dirname "$corpus")/corpus-seed
cov=${DUNMARK_FUZZ_COV_DIR:-$top/build-fuzz-cov}

cmake -S "$top/fuzz" -B "$cov" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUNMARK_FUZZ_COVERAGE=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$cov" -j 2 --target fuzz_bmp fuzz_png fuzz_mp3 >/dev/null
for name in bmp png mp3; do
  dirs=()
  for dir in "$corpus/$name" "$seeds/$name"; do
    [[ -d "$dir" ]] && dirs+=("$dir")
  done
  LLVM_PROFILE_FILE="$cov/$name.profraw" "$cov/bin/fuzz_$name" -runs=0 "${dirs[@]}" >/dev/null 2>&1
  llvm-profdata merge -sparse "$cov/$name.profraw" -o "$cov/$name.profdata"
  case $name in
    bmp|png) sources=("$top/ge/gl/TextureLoader.cpp") ;;
    mp3) sources=("$top/se/MusicStream.cpp" "$top/se/ZSoundEngineOpenAL.cpp") ;;
  esac
  echo "== fuzz_$name"
  llvm-cov report "$cov/bin/fuzz_$name" -instr-profile="$cov/$name.profdata" "${sources[@]}"
done
