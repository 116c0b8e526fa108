#!/usr/bin/env bash
# A mutation campaign over the game code: puts one plausible fault at a time
# into the source, rebuilds the unit-test programs that link it, runs them and
# puts the source back. A fault the tests do not notice is a survivor. Not
# part of CI; a run takes a while (one rebuild a fault). It edits the source
# tree in place: build nothing else from the tree while it runs.
#
#   bash tools/mutate.sh [BUILD_DIR] [LIST]
#
# Without a display it runs itself under scripts/with_xvfb.sh (the shell's
# tests open OpenGL windows).
# BUILD_DIR defaults to ./build (configured and built already), LIST to
# tools/mutations.txt. Each line of the list is
#   file: text ==> replacement
# where text occurs exactly once in file; "\n" stands for a line break. A
# trailing "## equivalent: why" sets a fault aside without running it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[[ -n "${DISPLAY:-}" ]] || exec bash "$top/scripts/with_xvfb.sh" bash "$0" "$@"
build=$(cd "${1:-$top/build}" && pwd)
list=${2:-$top/tools/mutations.txt}
programs=(test_game test_app)  # every unit-test program that links the game code
limit=${DUNMARK_MUTANT_SECONDS:-300}
saved=$(mktemp -d)
current=""

restore() {
  # Written over, not moved back: the new time stamp makes the next build
  # recompile it.
  [[ -n "$current" ]] && cat "$saved/original" >"$top/$current"
  current=""
}
trap 'restore; rm -rf "$saved"' EXIT
trap 'exit 130' INT TERM

build_and_test() {
  cmake --build "$build" -j 2 --target "${programs[@]}" >"$saved/build.log" 2>&1 || return 2
  local program
  for program in "${programs[@]}"; do
    mkdir -p "$build/test-work/${program#test_}"
    (cd "$build/test-work/${program#test_}" &&
      ALSOFT_DRIVERS=null timeout "$limit" "$build/tests/$program" --gtest_brief=1) >"$saved/test.log" 2>&1 || return 1
  done
}

# Applies one replacement to the file named in current; fails unless the text
# is there exactly once.
apply() {
  FROM=$1 TO=$2 perl -0777 -i -pe '
    my ($from, $to) = map { s/\\n/\n/gr } ($ENV{FROM}, $ENV{TO});
    my $n = () = /\Q$from\E/g;
    die "found $n times\n" unless $n == 1;
    s/\Q$from\E/$to/;' "$top/$current"
}

build_and_test || { echo "the unmutated tests do not pass" >&2; cat "$saved/test.log" "$saved/build.log" >&2; exit 1; }

killed=0 survived=0 aside=0 number=0
survivors=()
while IFS= read -r line; do
  [[ -z "$line" || "$line" == \#* ]] && continue
  number=$((number + 1))
  file=${line%%: *}
  rest=${line#*: }
  from=${rest%% ==> *}
  to=${rest#* ==> }
  note=""
  if [[ "$to" == *" ## "* ]]; then
    note=${to#* ## }
    to=${to%% ## *}
  fi
  label=$(printf "%2d %s: %s ==> %s" "$number" "$file" "$from" "$to")
  if [[ "$note" == equivalent* ]]; then
    aside=$((aside + 1))
    echo "aside    $label ($note)"
    continue
  fi
  current=$file
  cp "$top/$file" "$saved/original"
  apply "$from" "$to" || { restore; echo "bad line: $line" >&2; exit 1; }
  result=0
  build_and_test || result=$?
  restore
  case $result in
    0) survived=$((survived + 1)); survivors+=("$label"); echo "SURVIVED $label" ;;
    1) killed=$((killed + 1)); echo "killed   $label" ;;
    *) echo "does not compile: $label" >&2; cat "$saved/build.log" >&2; exit 1 ;;
  esac
done <"$list"

cmake --build "$build" -j 2 --target "${programs[@]}" >/dev/null
total=$((killed + survived))
echo "score: $killed of $total killed ($((100 * killed / total)) %), $aside set aside as equivalent"
((survived == 0)) || printf 'survivor: %s\n' "${survivors[@]}"
