#!/usr/bin/env bash
# The real program: banner, the window centred on the screen with its label,
# start-up log lines, and a clean end through Escape; a crash's report on
# each kind of thread.
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

# A crash names its signal and the thread that took it, and shows where it
# happened on standard error; the signal still ends the game, so whatever
# started it sees a crash. Each case signals one thread (a signal sent to the
# process goes to whichever thread the kernel picks). The toolkit's thread, and
# a library's, may be interrupted in the shaders the software OpenGL driver
# compiles at run time, which no unwinder gets through: their backtraces may
# end there, after the handler's and the C library's frames. The game thread
# never runs such code: its whole backtrace is asserted, resolved to files
# and lines as the soak resolves a crash.
# The first of the libraries' threads (neither the toolkit's nor the game
# thread) that does not block the signal. The OpenGL driver's threads block
# every signal; a fault of theirs ends the game without a report.
library_thread() {
  local number=$1 task blocked
  for task in $(grep -LxF dunmark-game /proc/"$game_pid"/task/*/comm | cut -d/ -f5); do
    [[ "$task" != "$game_pid" ]] || continue
    blocked=$((16#$(awk '/^SigBlk:/ {print $2}' "/proc/$game_pid/task/$task/status")))
    (((blocked >> (number - 1)) & 1)) || { echo "$task"; return 0; }
  done
}

check_crash_report() {
  local thread=$1 words=$2 number=$3 name=$4
  make_workdir
  start_xvfb
  start_game
  wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish"
  local task comm sender
  case $thread in
    toolkit) task=$game_pid ;;
    game) task=$(grep -lxF dunmark-game /proc/"$game_pid"/task/*/comm | cut -d/ -f5) ;;
    library) task=$(library_thread "$number") ;;
  esac
  [[ -n "$task" ]] || fail "$thread: no such thread in $(cat /proc/"$game_pid"/task/*/comm)"
  comm=$(cat "/proc/$game_pid/task/$task/comm")
  signal_thread "$task" "$number" || fail "$thread: cannot signal task $task"
  sender=$signal_sender
  wait_game
  [[ "$game_code" == $((128 + number)) ]] || fail "$thread: exit code $game_code after $name, not 128 + $number"
  local err="$e2e_work/err.txt" resolved="$e2e_work/resolved.txt"
  grep -qxF "dunmark: fatal signal $number ($name) on $words, task $task \"$comm\", sent by process $sender; backtrace:" "$err" ||
    fail "$thread: no crash line naming $words, task $task \"$comm\", sent by process $sender: $(head -1 "$err")"
  grep -q "/bin/dunmark(" "$err" || fail "$thread: the backtrace has no frame of the program: $(tail -5 "$err")"
  resolve_frames "$err" >"$resolved"
  grep -q "OnFatalSignal(.*) at .*app/Platform.cpp:[0-9]" "$resolved" ||
    fail "$thread: the handler's frame is not resolved: $(cat "$resolved")"
  (($(grep -cE '^[^ ]+\(.*\) ?\[0x[0-9a-f]+\]$' "$err") >= 2)) || fail "$thread: no backtrace: $(tail -5 "$err")"
  if [[ "$thread" == game ]]; then
    (($(grep -cE '^[^ ]+\(.*\) ?\[0x[0-9a-f]+\]$' "$err") >= 3)) || fail "no backtrace: $(tail -5 "$err")"
    grep -q "^  GameThread(void\*) at .*app/GameThread.cpp:[0-9]" "$resolved" ||
      fail "the game thread's backtrace does not reach GameThread: $(cat "$resolved")"
  fi
  e2e_cleanup
  e2e_pids=()
  e2e_work=""
}

check_run 1024x768 192 144
check_run 800x600 80 60
if sanitized_build; then
  echo "crash report: skipped in a sanitizer build, whose runtime reports crashes itself"
else
  ulimit -c 0
  #                  thread   the report's words                signal
  check_crash_report toolkit  "the toolkit's thread"            11 SIGSEGV
  check_crash_report game     "the game thread"                 11 SIGSEGV
  check_crash_report library  "another thread (a library's)"    7  SIGBUS
fi
echo "PASS"
