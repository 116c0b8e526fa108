#!/usr/bin/env bash
# --help and --version answer on standard output and end at once: no display
# is opened (there is none), no audio device, nothing written. --language
# chooses the game's language, and a wrong one is a usage error (status 2)
# before anything opens; no locale switches it. DUNMARK_SEED fixes the world;
# it and DUNMARK_TRIM_TICKS refuse wrong values.
# Every other argument still reaches the toolkit.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

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
for option in "--version" "--language LANG" "--mute" "en (English)" "-di[splay]" "-g[eometry]" "-ti[tle]" "dunmark(6)"; do
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

# A language the game does not speak, or none: one line naming the languages
# on standard error, status 2, and nothing else happens (without a display,
# reaching the toolkit would end with status 1 instead).
for args in "--language de" "--language" "--language=" "--language=EN" "-title x --language en_US"; do
  # shellcheck disable=SC2086
  answer $args
  [[ "$answer_code" == 2 ]] || fail "$args: exit code $answer_code: $(cat "$e2e_work/err.txt")"
  [[ ! -s "$e2e_work/out.txt" ]] || fail "$args wrote to standard output: $(cat "$e2e_work/out.txt")"
  [[ "$(wc -l <"$e2e_work/err.txt")" == 1 ]] || fail "$args: not one line: $(cat "$e2e_work/err.txt")"
  grep -q "^dunmark: .*en (English).*ru (Russian)" "$e2e_work/err.txt" ||
    fail "$args: the line does not name the languages: $(cat "$e2e_work/err.txt")"
  [[ -z "$(ls -A "$e2e_work/bin")" ]] || fail "$args left files: $(ls -A "$e2e_work/bin")"
done
answer --language de
grep -qF '"de"' "$e2e_work/err.txt" || fail "the error does not name the language asked for"

# The title screen of a game started with these arguments and environment
# must reach the named reference picture; the game then ends with Escape.
expect_title() {
  local language=$1 window=$2
  shift 2
  fresh_workdir
  mkdir -p "$e2e_work/shots"
  (cd "$e2e_work/bin" && exec env "$@" >"$e2e_work/out.txt" 2>"$e2e_work/err.txt") &
  game_pid=$!
  e2e_pids+=("$game_pid")
  game_window=$(wait_window "$window") || fail "no window \"$window\": $(cat "$e2e_work/err.txt")"
  screens_language=$language
  await_reference title "$e2e_work/shots/title.png"
  press_escape "$game_window"
  wait_game
  [[ "$game_code" == 0 ]] || fail "exit code $game_code after Escape"
}

# English when asked for, with a toolkit option beside it; Russian by default
# whatever the locale says, and when asked for.
start_xvfb
expect_title en "Dunmark in English" "$dunmark_bin" -title "Dunmark in English" --language en
expect_title en "Norvik-104 DUNMARK!" "$dunmark_bin" --language=ru --language=en
expect_title ru "Norvik-104 DUNMARK!" LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 LANGUAGE=en "$dunmark_bin"
expect_title ru "Norvik-104 DUNMARK!" "$dunmark_bin" --language ru

# A testing aid's wrong value is a usage error, as a wrong language is, and
# the message names the setting's range.
expect_refused() {
  local setting=$1 least=$2 value
  shift 2
  for value in "$@"; do
    local -x "$setting=$value"
    answer
    [[ "$answer_code" == 2 ]] || fail "$setting=\"$value\": exit code $answer_code: $(cat "$e2e_work/err.txt")"
    [[ "$(cat "$e2e_work/err.txt")" == "dunmark: $setting must be a whole number from $least to 4294967295, not \"$value\"" ]] ||
      fail "$setting=\"$value\": $(cat "$e2e_work/err.txt")"
  done
}
#              setting             least  wrong values
expect_refused DUNMARK_SEED        0      abc -1 4294967296 "1 " 0x10
expect_refused DUNMARK_TRIM_TICKS  1      0 abc -1 4294967296 "1 " 0x10
# A right one makes the world the seed's whatever the day: on another day,
# seeded with the walk's frozen moment in seconds, the first encounter is the
# walk's slime.
fresh_workdir
mkdir -p "$e2e_work/shots"
frozen_time="2027-03-04 05:06:07"
DUNMARK_SEED=$(date -u -d "2026-01-10 12:00:00" +%s) start_frozen_game
game_window=$(wait_window "Norvik-104 DUNMARK!") || fail "no game window with DUNMARK_SEED"
wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish"
park_pointer
await_reference title "$e2e_work/shots/title.png"
click 320 240
move_pointer "${button_left[@]}"
await_reference slime "$e2e_work/shots/slime.png"
press_escape "$game_window"
wait_game
[[ "$game_code" == 0 ]] || fail "exit code $game_code after Escape"

# Any other argument is the toolkit's: -title names the window.
fresh_workdir
start_game -title "Dunmark under another name"
id=$(wait_window "Dunmark under another name") || fail "-title did not reach the toolkit: $(cat "$e2e_work/err.txt")"
wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish"
press_escape "$id"
wait_game
[[ "$game_code" == 0 ]] || fail "exit code $game_code after Escape"
[[ "$(sed -n 1p "$e2e_work/out.txt")" == "Dunmark" ]] || fail "no banner with a toolkit option"

# The kept mute: --mute starts muted, unkept; M toggles the choice and keeps
# it; a broken or unwritable file is one log line, and the game goes on. Each
# game hears M, logs the line given, ends, and leaves the choice given kept.
press_m() {
  local line=$1 after=$2 id
  shift 2
  start_game "$@"
  id=$(wait_window "Norvik-104 DUNMARK!") || fail "no game window with $*"
  wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish"
  kept_before=$(cat "$kept" 2>/dev/null || true)
  xdotool windowfocus --sync "$id" key m
  wait_output_line "APP.message: $line" || fail "M after $*: no line \"$line\""
  press_escape "$id"
  wait_game
  [[ "$game_code" == 0 && "$(cat "$kept" 2>/dev/null)" == "$after" ]] ||
    fail "M after $*: exit code $game_code, kept \"$(cat "$kept" 2>&1)\", not $after"
}
fresh_workdir
kept="$XDG_STATE_HOME/dunmark/mute"
press_m "Sound is on" off --mute
[[ -z "$kept_before" ]] || fail "--mute was kept"
press_m "Sound is muted" on
press_m "Sound is on" off
echo loud >"$kept"
press_m "Sound is muted" on
grep -qxF "APP.message: Ignoring $kept: it says neither on nor off" "$e2e_work/out.txt" || fail "the broken file unnamed"
touch "$e2e_work/file"
XDG_STATE_HOME=$e2e_work/file press_m "Cannot keep the mute choice in $e2e_work/file/dunmark/mute: Not a directory" on
echo "PASS"
