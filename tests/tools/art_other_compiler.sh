#!/usr/bin/env bash
# The art generator built with the other compiler (clang++ for a g++ build,
# g++ for a clang++ build) must write the same bytes as the build's own art:
# the pictures may depend on their sources only, never on the order in which
# a compiler evaluates arguments or operands.
#   art_other_compiler.sh SOURCE_DIR BUILD_DIR CC CXX BUILD_TYPE
# Builds only the art, into BUILD_DIR/art-CXX; a later run rebuilds what
# changed. g++ and clang++ are in scripts/packages-*.txt: a missing one fails.
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
cmake --build "$other" --target art -j 1 || fail "building the art with $cxx"

shopt -s nullglob
names=()
for file in "$build"/gfx/* "$other"/gfx/*; do
  names+=("${file##*/}")
done
mapfile -t names < <(printf '%s\n' "${names[@]}" | sort -u)
((${#names[@]} >= 12)) || fail "only ${#names[@]} pictures in $build/gfx and $other/gfx"
differing=0
for name in "${names[@]}"; do
  cmp "$build/gfx/$name" "$other/gfx/$name" || differing=$((differing + 1))
done
((differing == 0)) || fail "$differing of ${#names[@]} pictures differ with $cxx"
echo "${#names[@]} pictures identical with $cxx"
