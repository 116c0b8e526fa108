#!/usr/bin/env bash
# The art and sound generators built with the other compiler (clang++ for a
# g++ build, g++ for a clang++ build) must write the same bytes as the
# build's own: the pictures and sounds may depend on their sources only,
# never on the order in which a compiler evaluates arguments or operands.
# The music is compared as the generator's WAV files and as lame's MP3 files
# (the same lame, 3.100, on Debian 12 and 13).
#   art_other_compiler.sh SOURCE_DIR BUILD_DIR CC CXX BUILD_TYPE
# Builds only the art and the sounds, into BUILD_DIR/art-CXX; a later run
# rebuilds what changed. g++ and clang++ are in scripts/packages-*.txt: a
# missing one fails.
set -euo pipefail
source_dir=$1
build=$2
cc=$3
cxx=$4
build_type=$5
other=$build/art-$cxx

fail() { echo "FAIL: $*" >&2; exit 1; }

for compiler in "$cc" "$cxx"; do
  command -v "$compiler" >/dev/null || fail "$compiler is missing: install the packages in scripts/packages-play.txt and packages-test.txt"
done
cmake -S "$source_dir" -B "$other" -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_BUILD_TYPE="$build_type" -DDUNMARK_TESTS=OFF || fail "configuring with $cxx"
cmake --build "$other" --target art sounds -j 1 || fail "building the art and sounds with $cxx"

shopt -s nullglob
# compare FOLDER WHAT LEAST: every file of FOLDER in both builds.
compare() {
  local folder=$1 what=$2 least=$3 names=() file name differing=0
  for file in "$build/$folder"/* "$other/$folder"/*; do
    names+=("${file##*/}")
  done
  mapfile -t names < <(printf '%s\n' "${names[@]}" | sort -u)
  ((${#names[@]} >= least)) || fail "only ${#names[@]} $what in $build/$folder and $other/$folder"
  for name in "${names[@]}"; do
    cmp "$build/$folder/$name" "$other/$folder/$name" || differing=$((differing + 1))
  done
  ((differing == 0)) || fail "$differing of ${#names[@]} $what differ with $cxx"
  echo "${#names[@]} $what identical with $cxx"
}
compare gfx pictures 12
compare sfx sounds 24
compare sfx-pcm "pieces of music before encoding" 6
