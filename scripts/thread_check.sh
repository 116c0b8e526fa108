#!/usr/bin/env bash
# Thread check of the real program: builds the game with ThreadSanitizer,
# runs it under an Xvfb of its own and drives it with a fast stream of real X
# pointer events (moves, presses and releases all over the window) for the
# given number of seconds, then closes it with Escape.
# Passes when ThreadSanitizer reported nothing, the game said goodbye and
# exited with 0.
#   bash scripts/thread_check.sh [seconds]     (default 30)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
seconds=${1:-30}

echo "== Building the ThreadSanitizer game (preset tsan)"
(cd "$top" && cmake --preset tsan >/dev/null &&
   cmake --build --preset tsan --target dunmark art -j "${DUNMARK_JOBS:-$(nproc)}" >/dev/null)

export DUNMARK_BUILD_DIR=$top/build-tsan
source "$top/tests/e2e/lib.sh"

# No sound card here: OpenAL Soft's null output is a working device.
export ALSOFT_DRIVERS=null
# llvmpipe renders on the thread that calls OpenGL instead of on worker
# threads of its own. Its workers signal their fences in ways the sanitizer
# cannot follow through the uninstrumented driver (races between
# pthread_cond_broadcast in a worker and pthread_mutex_destroy of the same
# fence), which says nothing about the game's own two threads.
export LP_NUM_THREADS=0
export TSAN_OPTIONS=${TSAN_OPTIONS:-second_deadlock_stack=1}

make_workdir
start_xvfb
start_game
e2e_pids+=("$game_pid")
id=$(wait_window "Norvik-104 DUNMARK!") || fail "no game window"
wait_output_line "SE.message: Sound Engine is created!" ||
  fail "start-up did not finish: $(tail -5 "$e2e_work/err.txt")"

# One xdotool call sends a burst of events; some presses are released at
# once (within one tick: the game sees the press on one tick and the release
# on the next), some after a short pause, so the game plays while it is driven.
buttons=(1 1 1 1 3 2)
burst() {
  local args=() n x y button
  for n in $(seq 1 20); do
    x=$((RANDOM % 640))
    y=$((RANDOM % 480))
    button=${buttons[RANDOM % ${#buttons[@]}]}
    args+=(mousemove --window "$id" "$x" "$y" mousedown "$button")
    ((RANDOM % 2)) && args+=(sleep 0.02)
    args+=(mousemove --window "$id" $(((x + RANDOM % 21 + 630) % 640)) "$y" mouseup "$button")
  done
  xdotool "${args[@]}"
}

echo "== Driving the game for $seconds s"
events=0
deadline=$((SECONDS + seconds))
while ((SECONDS < deadline)); do
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended while driven: $(tail -20 "$e2e_work/err.txt")"
  burst
  events=$((events + 80))
done
echo "sent $events pointer events ($((events / seconds)) a second)"

press_escape "$id"
wait_game
report_lines=$(grep -c "WARNING: ThreadSanitizer" "$e2e_work/err.txt" || true)
if ((report_lines > 0)); then
  cat "$e2e_work/err.txt" >&2
  fail "ThreadSanitizer reported $report_lines problem(s)"
fi
[[ "$game_code" == 0 ]] || fail "exit code $game_code; stderr: $(tail -20 "$e2e_work/err.txt")"
[[ "$(tail -1 "$e2e_work/out.txt")" == "goodbye" ]] || fail "the game did not say goodbye"
echo "PASS: no ThreadSanitizer report, goodbye, exit code 0"
