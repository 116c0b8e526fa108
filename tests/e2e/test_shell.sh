#!/usr/bin/env bash
# The real program: banner, the window centred on the screen with its label,
# start-up log lines, and a clean end through Escape; a crash's report.
source "$(dirname "$0")/lib.sh"

check_run() {
  local size=$1 want_x=$2 want_y=$3
  make_workdir
  start_xvfb "$size"
  start_game
  local id
  id=$(wait_window "Norvik-104 DUNMARK!") || fail "no window named Norvik-104 DUNMARK! on a $size screen"
  wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish"

  local geometry
  geometry=$(xwininfo -id "$id")
  grep -q "Absolute upper-left X:  $want_x\$" <<<"$geometry" || fail "window x on $size: $geometry"
  grep -q "Absolute upper-left Y:  $want_y\$" <<<"$geometry" || fail "window y on $size: $geometry"
  grep -q "Width: 640\$" <<<"$geometry" || fail "window width: $geometry"
  grep -q "Height: 480\$" <<<"$geometry" || fail "window height: $geometry"

  press_escape "$id"
  wait_game
  [[ "$game_code" == 0 ]] || fail "exit code $game_code after Escape"

  local out="$e2e_work/out.txt"
  [[ "$(sed -n 1p "$out")" == "Dunmark" ]] || fail "banner title: $(head -3 "$out")"
  [[ "$(sed -n 3p "$out")" == "specially for Norvik-104" ]] || fail "banner dedication: $(head -3 "$out")"
  [[ "$(tail -1 "$out")" == "goodbye" ]] || fail "last line is not goodbye: $(tail -3 "$out")"
  grep -qxF "GE.message: Graphic Engine is destroyed." "$out" || fail "renderer not destroyed"
  grep -qxF "SE.message: Sound Engine is destroyed!" "$out" || fail "sound engine not destroyed"
  local ge_line se_line
  ge_line=$(grep -nxF "GE.message: Graphic Engine is destroyed." "$out" | cut -d: -f1)
  se_line=$(grep -nxF "SE.message: Killing Sound Engine..." "$out" | cut -d: -f1)
  ((ge_line < se_line)) || fail "the renderer must be destroyed before the sound engine"
  # Everything logged on the console is in Log.txt too, in the same order.
  diff <(grep -E '^(GE|SE)\.' "$out") "$e2e_work/bin/Log.txt" || fail "Log.txt differs from the console"

  e2e_cleanup
  e2e_pids=()
  e2e_work=""
}

# A crash names its signal and shows where it happened on standard error; the
# signal still ends the game, so whatever started it sees a crash.
check_crash_report() {
  if sanitized_build; then
    echo "crash report: skipped in a sanitizer build, whose runtime reports crashes itself"
    return 0
  fi
  ulimit -c 0
  make_workdir
  start_xvfb
  start_game
  wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish"
  kill -SEGV "$game_pid"
  wait_game
  [[ "$game_code" == 139 ]] || fail "exit code $game_code after SIGSEGV, not 128 + 11"
  local err="$e2e_work/err.txt"
  grep -qxF "dunmark: fatal signal 11 (SIGSEGV); backtrace:" "$err" || fail "no crash line: $(tail -5 "$err")"
  (($(grep -cE '^[^ ]+\(.*\) ?\[0x[0-9a-f]+\]$' "$err") >= 3)) || fail "no backtrace: $(tail -5 "$err")"
  grep -q "/bin/dunmark(" "$err" || fail "the backtrace has no frame of the program: $(tail -5 "$err")"
  e2e_cleanup
  e2e_pids=()
  e2e_work=""
}

check_run 1024x768 192 144
check_run 800x600 80 60
check_crash_report
echo "PASS"
