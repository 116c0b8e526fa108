#!/usr/bin/env bash
# Line and branch coverage of the game's own sources by the fuzz corpora:
#   bash fuzz/coverage.sh [CORPUS_ROOT]   default build-fuzz/corpus
# Runs every input of CORPUS_ROOT/<target>, CORPUS_ROOT/../corpus-seed/<target>
# and the kept corpus fuzz/corpus/<target> once through targets built with
# coverage mapping in build-fuzz-cov/.
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
  for dir in "$corpus/$name" "$seeds/$name" "$top/fuzz/corpus/$name"; do
    [[ -d "$dir" ]] && dirs+=("$dir")
  done
  LLVM_PROFILE_FILE="$cov/$name.profraw" "$cov/bin/fuzz_$name" -runs=0 "${dirs[@]}" >/dev/null 2>&1
  llvm-profdata merge -sparse "$cov/$name.profraw" -o "$cov/$name.profdata"
  # The functions each target can reach; the rest of the files is not theirs.
  case $name in
    bmp) sources=("$top/ge/gl/TextureLoader.cpp"); reach='DecodeBmp|ReadRows|ReadHeader|ApplyMask|MakeBlackTransparent|CheckImageSize' ;;
    png) sources=("$top/ge/gl/TextureLoader.cpp"); reach='DecodePng|CheckImageSize' ;;
    mp3) sources=("$top/se/ZMusicDecoderMpg123.cpp" "$top/se/MusicStream.cpp"); reach='ZMusicDecoderMpg123|MusicStream' ;;
  esac
  shown=$(llvm-cov show "$cov/bin/fuzz_$name" -instr-profile="$cov/$name.profdata" \
    -name-regex="$reach" "${sources[@]}")
  counted=$(grep -cE '^ +[0-9]+\| +[0-9.]+[kMG]?\|' <<<"$shown" || true)
  missed=$(grep -E '^ +[0-9]+\| +0\|' <<<"$shown" || true)
  echo "== fuzz_$name: $((counted - $(grep -c . <<<"$missed" || true))) of $counted lines run in $(basename -a "${sources[@]}" | paste -sd' ') ($reach)"
  [[ -n "$missed" ]] && sed 's/^/  never run: /' <<<"$missed"
  true
done
