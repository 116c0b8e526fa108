#!/usr/bin/env bash
# Builds one commit twice from `git archive` and checks that both builds give
# the same bytes (where there is no commit, as in a release tarball or a
# `git archive` export, it builds the tree as it stands twice instead): bin/dunmark, every file under gfx/ and sfx/, the installed tree
# (names, file modes, contents) and every .deb that `cpack -G DEB` makes.
# The two builds differ in everything that must not matter:
#               first build                 second build
#   folder      $work/a/dunmark             $work/second-build/x/src, built out of tree
#   umask       022                         077
#   TZ          UTC                         Pacific/Kiritimati (UTC+14)
#   LC_ALL      C.UTF-8                     ru_RU.UTF-8 (made with localedef when its
#                                           source is there, else POSIX)
#   clock       now                         400 days ahead (faketime)
#   host name   this machine's              dunmark-second-build (unshare, as root)
#   file times  the commit's (git archive)  the moment of extraction
#               or the tree's own
# SOURCE_DATE_EPOCH is unset for both: the build takes it from the commit, or
# from cmake/commit-time.txt, which `git archive` fills in.
# On a difference it names the file and shows the first lines of diffoscope's
# report; diffoscope-minimal is installed then (as root) if it is missing.
#   bash scripts/reproducible_check.sh [REV]       the full check (default HEAD)
#   DUNMARK_REPRO_KEEP=1 ...                        keep the scratch folder
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
rev=${1:-HEAD}
jobs=$(nproc)

work=$(mktemp -d /tmp/dunmark-repro-XXXXXX)
cleanup() { [[ -n "${DUNMARK_REPRO_KEEP:-}" ]] && echo "kept $work" || rm -rf "$work"; }
trap cleanup EXIT

commit=""
# A commit of this tree's own, not of some repository the tree was unpacked in.
if command -v git >/dev/null && [[ "$(git -C "$top" rev-parse --show-toplevel 2>/dev/null)" == "$top" ]] &&
   git -C "$top" rev-parse --verify -q HEAD >/dev/null; then
  git -C "$top" diff --quiet HEAD -- 2>/dev/null ||
    echo "reproducible_check: uncommitted changes are not part of the check"
  commit=$(git -C "$top" rev-parse --verify "$rev^{commit}")
  echo "reproducible_check: checking commit $commit"
else
  echo "reproducible_check: no git commit here; checking the tree as it stands in $top"
  grep -qx '[0-9][0-9]*' "$top/cmake/commit-time.txt" 2>/dev/null || {
    echo "reproducible_check: error: the tree has no commit time (cmake/commit-time.txt as \`git archive\` fills it in), so its builds carry today's date" >&2
    exit 1
  }
fi

# The sources as a tar stream: the commit, or the tree without its build
# folders (any top folder holding a CMakeCache.txt) and git's own.
sources() {
  if [[ -n "$commit" ]]; then
    git -C "$top" archive --format=tar "$commit"
    return
  fi
  local entries=() entry
  for entry in "$top"/* "$top"/.[!.]*; do
    [[ -e "$entry" && "${entry##*/}" != .git && ! -f "$entry/CMakeCache.txt" ]] || continue
    entries+=("${entry##*/}")
  done
  tar -c -C "$top" "${entries[@]}"
}

# A Russian locale when its source is installed: its collation and number
# format differ from C's, which is what could reorder a file list.
second_locale=POSIX
mkdir -p "$work/locale"
if command -v localedef >/dev/null && [[ -f /usr/share/i18n/locales/ru_RU ]] &&
   localedef -i ru_RU -f UTF-8 "$work/locale/ru_RU.UTF-8" >/dev/null 2>&1; then
  second_locale=ru_RU.UTF-8
fi
# The second build runs every step on a clock 400 days ahead and, where it
# may make a UTS namespace of its own, under another host name.
later=()
later_text="clock not moved"
if command -v faketime >/dev/null; then later=(faketime -f "+400d"); later_text="clock +400 days"; fi
if unshare --uts true 2>/dev/null; then
  later=(unshare --uts sh -c 'hostname dunmark-second-build && exec "$@"' sh "${later[@]}")
  later_text+=", host name dunmark-second-build"
fi
clock=()
untar=()

# Extracts the sources into $1, configures into $2, builds, installs into
# $2/stage and packs, every step under ${clock[@]}. Runs in a subshell that
# holds the build's variations.
build_one() {
  local src=$1 bin=$2
  mkdir -p "$src" "$bin"
  sources | tar -x "${untar[@]}" -C "$src"
  {
    "${clock[@]}" cmake -S "$src" -B "$bin" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUNMARK_TESTS=OFF &&
    "${clock[@]}" cmake --build "$bin" -j "$jobs" &&
    DESTDIR="$bin/stage" "${clock[@]}" cmake --install "$bin" --prefix /usr &&
    (cd "$bin" && "${clock[@]}" cpack -G DEB)
  } >"$bin.log" 2>&1
}

# Prints one line per file the check compares: "sha256  name", names relative
# to the build folder; then the installed tree, a line per entry: the name,
# a file's mode and checksum. A folder's mode is left out: `cmake --install`
# makes folders under the installer's umask, as mkdir does, and the package
# (whose folders are always 755) is compared whole above.
fingerprint() {
  local bin=$1
  (cd "$bin" && sha256sum bin/dunmark && find gfx sfx -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum &&
   ls -1 ./*.deb | LC_ALL=C sort | xargs sha256sum)
  (cd "$bin/stage" && find . -mindepth 1 \( -type d -printf 'folder %P\n' \) -o \( -printf '%M %P\n' \) |
   LC_ALL=C sort | sed 's/^/stage: /')
  (cd "$bin/stage" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum | sed 's/^/stage: /')
}

run_build() {
  local name=$1 src=$2 bin=$3
  local start=$SECONDS
  if ! build_one "$src" "$bin"; then
    echo "reproducible_check: the $name build failed; its log:"
    tail -n 40 "$bin.log"
    exit 1
  fi
  echo "reproducible_check: $name build done in $((SECONDS - start)) s"
}

a_src=$work/a/dunmark; a_bin=$a_src/build
b_src=$work/second-build/x/src; b_bin=$work/second-build/obj
(
  umask 022
  export TZ=UTC LC_ALL=C.UTF-8
  unset SOURCE_DATE_EPOCH
  run_build first "$a_src" "$a_bin"
)
(
  umask 077
  export LOCPATH=$work/locale
  export TZ=Pacific/Kiritimati LC_ALL=$second_locale
  unset SOURCE_DATE_EPOCH
  clock=("${later[@]}")
  untar=(--touch)
  run_build "second (umask 077, TZ=$TZ, LC_ALL=$LC_ALL, $later_text)" "$b_src" "$b_bin"
)

fingerprint "$a_bin" >"$work/a.sums"
fingerprint "$b_bin" >"$work/b.sums"
if cmp -s "$work/a.sums" "$work/b.sums"; then
  echo "reproducible_check: identical: bin/dunmark, $(grep -c ' gfx/' "$work/a.sums") files under gfx/, $(grep -c ' sfx/' "$work/a.sums") under sfx/, $(ls "$a_bin"/*.deb | xargs -n1 basename | tr '\n' ' ')and the installed tree"
  exit 0
fi

echo "reproducible_check: the builds differ (< first build, > second build):"
diff "$work/a.sums" "$work/b.sums" | grep '^[<>]' | head -n 40 || true
if ! command -v diffoscope >/dev/null && [[ $(id -u) -eq 0 ]]; then
  echo "reproducible_check: installing diffoscope-minimal to show the differences"
  bash "$here/install_packages.sh" diffoscope-minimal >/dev/null 2>&1 || true
fi
# diffoscope on each build-folder file whose checksum differs; the installed
# tree is inside the .deb, so its report covers those files too.
differing=$(awk '$1 != "stage:" { if (NR == FNR) a[$2] = $1; else if (a[$2] != $1) print $2 }' \
            "$work/a.sums" "$work/b.sums")
for f in $differing; do
  echo "== $f differs"
  if [[ ! -e "$a_bin/$f" ]]; then echo "(only in the second build)"; continue; fi
  if command -v diffoscope >/dev/null; then
    diffoscope --no-progress --text - "$a_bin/$f" "$b_bin/$f" 2>/dev/null | head -n "${DUNMARK_REPRO_LINES:-40}" || true
  else
    echo "(diffoscope is not installed: apt-get install diffoscope-minimal for its report)"
  fi
done
exit 1
