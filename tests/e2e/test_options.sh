#!/usr/bin/env bash
# --help and --version answer on standard output and end at once: no display
# is opened (there is none), no audio device, nothing written. Every other
# argument still reaches the toolkit.
source "$(dirname "$0")/lib.sh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n "$version" ]] || fail "no project version in the build's cache"

fresh_workdir() {
  [[ -n "${e2e_work:-}" ]] && rm -rf "$e2e_work"
  make_workdir
}

# Runs the game with no display and no usable audio, in an empty folder;
# sets answer_code and leaves the output in $e2e_work.
answer() {
  fresh_workdir
  answer_code=0
  (cd "$e2e_work/bin" && env -u DISPLAY ALSOFT_DRIVERS=nosuch "$dunmark_bin" "$@" \
     >"$e2e_work/out.txt" 2>"$e2e_work/err.txt") || answer_code=$?
}

expect_quiet_success() {
  local what=$1
  [[ "$answer_code" == 0 ]] || fail "$what: exit code $answer_code: $(cat "$e2e_work/err.txt")"
  [[ ! -s "$e2e_work/err.txt" ]] || fail "$what wrote to standard error: $(cat "$e2e_work/err.txt")"
  [[ -z "$(ls -A "$e2e_work/bin")" ]] || fail "$what left files: $(ls -A "$e2e_work/bin")"
}

answer --version
expect_quiet_success "--version"
[[ "$(cat "$e2e_work/out.txt")" == "dunmark $version" ]] || fail "--version printed: $(cat "$e2e_work/out.txt")"

answer --help
expect_quiet_success "--help"
[[ "$(head -1 "$e2e_work/out.txt")" == "Usage: dunmark "* ]] || fail "--help printed: $(head -3 "$e2e_work/out.txt")"
for option in "--version" "-di[splay]" "-g[eometry]" "-ti[tle]" "dunmark(6)"; do
  grep -qF -- "$option" "$e2e_work/out.txt" || fail "--help does not mention $option"
done
help_text=$(cat "$e2e_work/out.txt")

# Among toolkit options the first question is answered all the same.
answer -geometry 10x10+0+0 --help --version
expect_quiet_success "--help after a toolkit option"
[[ "$(cat "$e2e_work/out.txt")" == "$help_text" ]] || fail "--help after a toolkit option printed something else"

# An answer that cannot be written is an error, not a silent success.
fresh_workdir
answer_code=0
"$dunmark_bin" --version >/dev/full 2>"$e2e_work/err.txt" || answer_code=$?
[[ "$answer_code" == 1 ]] || fail "--version into a full device: exit code $answer_code"
grep -q "cannot write" "$e2e_work/err.txt" || fail "--version into a full device: $(cat "$e2e_work/err.txt")"

# Any other argument is the toolkit's: -title names the window.
fresh_workdir
start_xvfb
start_game -title "Dunmark under another name"
id=$(wait_window "Dunmark under another name") || fail "-title did not reach the toolkit: $(cat "$e2e_work/err.txt")"
wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish"
press_escape "$id"
wait_game
[[ "$game_code" == 0 ]] || fail "exit code $game_code after Escape"
[[ "$(sed -n 1p "$e2e_work/out.txt")" == "Dunmark" ]] || fail "no banner with a toolkit option"
echo "PASS"
