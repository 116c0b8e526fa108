#!/usr/bin/env bash
# Soak of the real program under Xvfb, as players run it (no allocator
# settings): random clicking through many games for the given number of
# seconds, mostly on the three buttons and the OK area, sometimes anywhere.
# Resident memory is sampled all along; a game is counted each time the
# game-over screen shows, and every game-over screen must turn into the title
# at the next click. At the end the game is played to one more game over,
# must answer that click, and is closed with Escape.
# Passes when the mean resident size over the run's last half-minute is at
# most the margin above the mean over the half-minute after the game has
# settled (after the first minute; after half the run, with quarter-run
# windows, for runs of two minutes or less), and the game said goodbye with
# exit code 0. Means over windows, as the size swings by a few MB with the
# frame being drawn and with the game's ten-second return of kept memory.
# A failure keeps what tells its cause in a folder of its own under
# DUNMARK_SOAK_FAILURES (default build/soak-failures/): the game's standard
# output and error, its Log.txt, the crash report's frames resolved to files
# and lines (addr2line, from binutils), and the core file, which the soak
# allows where the hard limit does, with the program that dumped it (and, if
# gdb is installed, every thread's backtrace from it).
#   bash scripts/soak.sh [seconds]     (default 600)
#   bash scripts/soak.sh --trim-every-tick [seconds]
#                     the game hands kept memory back every tick instead of
#                     every 600 (DUNMARK_TRIM_TICKS=1), under the C library's
#                     glibc.malloc.perturb, which fills what is freed and what
#                     is allocated: the path that no sanitizer sees, as each
#                     replaces the allocator.
# Environment: DUNMARK_BUILD_DIR (default build/), DUNMARK_SOAK_MARGIN_KB
# (default 2048), DUNMARK_SOAK_SEED (random clicks are repeatable with it).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
seconds=600
trim_every_tick=0
while (($#)); do
  case $1 in
    --trim-every-tick) trim_every_tick=1 ;;
    -*) echo "soak: unknown option $1" >&2; exit 2 ;;
    *) seconds=$1 ;;
  esac
  shift
done
margin_kb=${DUNMARK_SOAK_MARGIN_KB:-2048}
seed=${DUNMARK_SOAK_SEED:-$$}
sample_every=5
# The software OpenGL driver takes a 64 kB vertex buffer from the main
# thread's heap for every primitive and frees them all once the frame is
# drawn; the C library keeps freed memory for reuse (sys::KeepFreedMemory) and
# the game hands the pages of what stayed free back every ten seconds
# (sys::ReturnKeptMemory). In the first minute the heap grows to the most
# buffers one frame has held (about 200, 13 MB) and the pages of the program's
# code and art are touched for the first time. The criterion starts after it.
settle_seconds=60
((seconds > 2 * settle_seconds)) || settle_seconds=$((seconds / 2))
window_seconds=30
((settle_seconds >= 2 * window_seconds)) || window_seconds=$((settle_seconds / 2))
# A game played to its end takes a few hundred clicks; a bound in clicks, not
# seconds, holds on a busy machine too.
final_game_clicks=5000

export DUNMARK_BUILD_DIR=${DUNMARK_BUILD_DIR:-$top/build}
if [[ ! -x "$DUNMARK_BUILD_DIR/bin/dunmark" ]]; then
  bash "$here/setup.sh" --tests
fi
bash "$here/install_packages.sh" binutils
source "$top/tests/e2e/lib.sh"
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
failures=${DUNMARK_SOAK_FAILURES:-$DUNMARK_BUILD_DIR/soak-failures}
ulimit -c unlimited 2>/dev/null || ulimit -c "$(ulimit -H -c)"

# Keeps the evidence of a failure; prints where.
keep_failure() {
  local kept file core
  kept="$failures/$(date -u +%Y%m%d-%H%M%S)-seed$seed"
  mkdir -p "$kept"
  for file in "$e2e_work/out.txt" "$e2e_work/err.txt" "$e2e_work/bin/Log.txt"; do
    [[ ! -f "$file" ]] || cp "$file" "$kept/"
  done
  [[ ! -f "$e2e_work/err.txt" ]] || resolve_frames "$e2e_work/err.txt" >"$kept/frames.txt"
  for core in "$e2e_work"/bin/core*; do
    [[ -f "$core" ]] || continue
    cp -p "$dunmark_bin" "$kept/dunmark"
    mv "$core" "$kept/"
    if command -v gdb >/dev/null; then
      gdb -batch -ex "thread apply all bt" "$kept/dunmark" "$kept/${core##*/}" >"$kept/threads.txt" 2>&1 || true
    fi
  done
  echo "$kept"
}

fail() {
  trap - ERR
  echo "FAIL: $*" >&2
  echo "kept in $(keep_failure)" >&2
  exit 1
}

# Under AddressSanitizer freed memory sits in a quarantine of many megabytes,
# so the resident size says nothing about the game there: it is reported,
# not judged.
sanitized=0
if sanitized_build; then
  sanitized=1
fi

make_workdir
start_xvfb
# The server resets when its last client leaves; one idle client prevents it.
xprop -root -spy >/dev/null 2>&1 &
e2e_pids+=($!)
# The allocator as players have it, or, for the game alone, perturbed.
unset GLIBC_TUNABLES
echo "== Core files up to $(ulimit -c) blocks, by the kernel's pattern $(cat /proc/sys/kernel/core_pattern)"
if ((trim_every_tick)); then
  echo "== The game returns kept memory every tick, under glibc.malloc.perturb=165"
  DUNMARK_TRIM_TICKS=1 GLIBC_TUNABLES=glibc.malloc.perturb=165 start_game
else
  start_game
fi
e2e_pids+=("$game_pid")
# Should a command fail because the game has ended under it (a crash, say),
# the report says how it ended, with the crash report from err.txt.
set -o errtrace
trap 'kill -0 "$game_pid" 2>/dev/null || game_ended' ERR
id=$(wait_window "Norvik-104 DUNMARK!") || fail "no game window"
wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish"
geometry=$(xwininfo -id "$id")
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
top_edge=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")

# The window's pixels are read from the root window: reading the OpenGL
# window itself may return an old frame.
screen_colours() {
  xwd -silent -root | /usr/bin/convert xwd:- -crop "640x480+$left+$top_edge" +repage -format %k info:
}

# The game-over screen is black with white, shadowed text: three colours,
# four at most. Every other screen shows art in many colours.
is_game_over() { (($1 <= 4)); }
is_art() { (($1 > 12)); }

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$game_pid/status"; }

click() {
  local x=$1 y=$2
  xdotool mousemove --window "$id" "$x" "$y" mousedown 1
  sleep 0.07
  xdotool mouseup 1
  sleep 0.03
}

# A point inside a box given in virtual-screen pixels, in window pixels.
click_box() {
  local x0=$1 y0=$2 x1=$3 y1=$4
  click $((2 * x0 + RANDOM % (2 * (x1 - x0)))) $((2 * y0 + RANDOM % (2 * (y1 - y0))))
}

# One random click: the three buttons, the OK area, or anywhere. aim_to_end
# favours attacking and dismissing, which ends a game sooner.
random_click() {
  local roll=$((RANDOM % 100)) attack=40
  ((${1:-0})) && attack=60
  if ((roll < attack)); then click_box 42 130 118 160
  elif ((roll < attack + 12)); then click_box 122 130 198 160
  elif ((roll < attack + 22)); then click_box 202 130 278 160
  elif ((roll < 95)); then click_box 140 130 180 150
  else click $((RANDOM % 640)) $((RANDOM % 480))
  fi
}

# At the game-over screen: a click must bring the title back. The press is
# held long enough to span a tick; should a machine so busy that the game saw
# neither press nor release have swallowed it, it is given again, up to three
# times, and each such repeat is counted in the report.
answer_game_over() {
  local colours attempt deadline
  for attempt in 1 2 3; do
    ((attempt == 1)) || repeated_answers=$((repeated_answers + 1))
    xdotool mousemove --window "$id" $((RANDOM % 640)) $((RANDOM % 480)) mousedown 1
    sleep 0.2
    xdotool mouseup 1
    deadline=$((SECONDS + 20))
    while ((SECONDS < deadline)); do
      colours=$(screen_colours)
      is_art "$colours" && return 0
      sleep 0.05
    done
  done
  fail "the game-over screen did not answer three clicks (still $colours colours)"
}

# The game's own last words: a crash report ends with its backtrace, here
# resolved. A fault on a thread that blocks the signal (the OpenGL driver's
# threads block them all) ends the game by the kernel's default, with no
# report: the core file tells more.
game_ended() {
  wait_game
  local words
  words=$(tail -40 "$e2e_work/err.txt")
  if [[ "$game_code" != timeout ]] && ((game_code > 128)) && ! grep -q "^dunmark: fatal signal" "$e2e_work/err.txt"; then
    words+=$'\n'"(no crash report: signal $((game_code - 128)) on a thread that blocks it)"
  fi
  fail "the game ended during the soak (exit code $game_code):"$'\n'"$words"$'\n'"$(resolve_frames "$e2e_work/err.txt")"
}

repeated_answers=0
games=0
rss_start=$(rss_kb)
sample_times=()
sample_sizes=()
rss_last_game=""
rss_game_start=$rss_start
game_started=$SECONDS
longest_game=0
longest_growth=0
max_growth=0
next_sample=$SECONDS
was_over=0
play() {
  local aim_to_end=$1 colours rss now
  now=$SECONDS
  if ((now >= next_sample)); then
    rss=$(rss_kb)
    echo "t=$((now - started)) s  rss=${rss} kB  games=$games"
    sample_times+=($((now - started)))
    sample_sizes+=("$rss")
    next_sample=$((now + sample_every))
  fi
  colours=$(screen_colours)
  if is_game_over "$colours"; then
    if ((!was_over)); then
      games=$((games + 1))
      rss=$(rss_kb)
      rss_last_game=$rss
      # Growth within one game: from its first click to its game over.
      if ((rss - rss_game_start > max_growth)); then max_growth=$((rss - rss_game_start)); fi
      if ((now - game_started > longest_game)); then
        longest_game=$((now - game_started))
        longest_growth=$((rss - rss_game_start))
      fi
      echo "game $games over after $((now - game_started)) s, rss=${rss} kB"
    fi
    was_over=1
    answer_game_over
    rss_game_start=$(rss_kb)
    game_started=$SECONDS
    return 0
  fi
  was_over=0
  random_click "$aim_to_end"
}

RANDOM=$seed
echo "== Soak for $seconds s (seed $seed), rss at start ${rss_start} kB"
started=$SECONDS
deadline=$((SECONDS + seconds))
while ((SECONDS < deadline)); do
  kill -0 "$game_pid" 2>/dev/null || game_ended
  play 0
done

echo "== Playing to one more game over"
games_before=$games
final_clicks=0
while ((games == games_before)); do
  ((final_clicks++ < final_game_clicks)) || fail "no game over within $final_game_clicks clicks"
  kill -0 "$game_pid" 2>/dev/null || game_ended
  play 1
done
rss_end=$rss_last_game

press_escape "$id"
wait_game
# A sanitizer report (a leak found at exit among them) also changes the exit
# code: it is shown first and whole.
if grep -qE "Sanitizer|runtime error:" "$e2e_work/err.txt"; then
  cat "$e2e_work/err.txt" >&2
  fail "sanitizer report (above), exit code $game_code"
fi
[[ "$game_code" == 0 ]] || fail "exit code $game_code after Escape"
[[ "$(tail -1 "$e2e_work/out.txt")" == "goodbye" ]] || fail "the game did not say goodbye"

# Mean resident size (kB) of the samples taken in [from, to) seconds.
mean_size() {
  local from=$1 to=$2 i sum=0 count=0
  for i in "${!sample_times[@]}"; do
    if ((sample_times[i] >= from && sample_times[i] < to)); then
      sum=$((sum + sample_sizes[i]))
      count=$((count + 1))
    fi
  done
  ((count)) || fail "no resident size sampled between $from s and $to s"
  echo $((sum / count))
}
rss_settled=$(mean_size "$settle_seconds" $((settle_seconds + window_seconds)))
rss_final=$(mean_size $((seconds - window_seconds)) "$seconds")

echo "games played: $games (game-over clicks given again: $repeated_answers)"
echo "rss at start: ${rss_start} kB; mean from ${settle_seconds} s: ${rss_settled} kB;" \
     "mean over the last ${window_seconds} s: ${rss_final} kB; at the last game over: ${rss_end} kB"
echo "longest game: ${longest_game} s, rss change within it: ${longest_growth} kB;" \
     "largest growth within any game: ${max_growth} kB"
if ((sanitized)); then
  echo "PASS (sanitizer build: resident size reported, not judged)"
  exit 0
fi
((rss_final <= rss_settled + margin_kb)) ||
  fail "resident memory grew: ${rss_final} kB over the last ${window_seconds} s, ${rss_settled} kB from ${settle_seconds} s (margin ${margin_kb} kB)"
echo "PASS: rss over the last ${window_seconds} s within ${margin_kb} kB of the size from ${settle_seconds} s"
