#!/usr/bin/env bash
# Closing the window at every point of the staged start-up: before the first
# draw (nothing created), after it (input and graphics), and once the game
# runs (sound and game too). Every run must end with goodbye and exit code 0,
# having destroyed exactly the engines that existed. Which stage a run hit
# is read from its console lines.
source "$(dirname "$0")/lib.sh"

early_runs=24
delays=(0 0 0.01 0.02 0.03 0.05 0.08 0.12)

e2e_work=$(mktemp -d /tmp/dunmark-stages-XXXXXX)
start_xvfb
# The server resets whenever its last client leaves, and a game starting in
# that moment cannot open the display: one idle client stays connected.
xprop -root -spy >/dev/null 2>&1 &
e2e_pids+=($!)
export ALSOFT_DRIVERS=null
window_name="Norvik-104 DUNMARK!"
hits=(0 0 0)

new_run() {
  run_dir=$e2e_work/run$1
  mkdir -p "$run_dir/bin"
  ln -s "$build/gfx" "$run_dir/gfx"
  (cd "$run_dir/bin" && exec "$dunmark_bin" >"$run_dir/out.txt" 2>"$run_dir/err.txt") &
  game_pid=$!
  e2e_pids+=("$game_pid")
}

# Escape as early as it can be delivered: the pointer waits where the window
# will appear, so with the server's default focus the keys reach the window
# from the moment it is mapped.
close_early() {
  local start=$SECONDS
  xdotool mousemove 512 384
  new_run "$1"
  while ((SECONDS - start < e2e_patience)); do
    kill -0 "$game_pid" 2>/dev/null || return 0
    xdotool key Escape 2>/dev/null || true
  done
}

# Escape a given time after the window becomes visible.
close_after() {
  local run=$1 delay=$2 id="" start=$SECONDS
  new_run "$run"
  while ((SECONDS - start < e2e_patience)); do
    id=$(xdotool search --onlyvisible --name "^${window_name}\$" 2>/dev/null | head -1 || true)
    [[ -n "$id" ]] && break
    kill -0 "$game_pid" 2>/dev/null || { wait_game; fail "run $run: the game ended before its window showed (exit code $game_code): $(cat "$run_dir/out.txt" "$run_dir/err.txt")"; }
    sleep 0.01
  done
  [[ -n "$id" ]] || fail "run $run: no window"
  sleep "$delay"
  press_escape "$id"
}

has_line() { grep -qxF -- "$1" "$run_dir/out.txt"; }

# Checks one finished run and prints the stage it was closed in.
check_run() {
  local run=$1 what="run $1" stage line
  wait_game
  [[ "$game_code" == 0 ]] || fail "$what: exit code $game_code; $(tail -3 "$run_dir/out.txt")"
  if grep -qE "Sanitizer|runtime error:" "$run_dir/err.txt"; then
    fail "$what: sanitizer report: $(head -20 "$run_dir/err.txt")"
  fi
  [[ "$(tail -1 "$run_dir/out.txt")" == "goodbye" ]] || fail "$what: the last line is not goodbye"
  [[ "$(grep -cxF goodbye "$run_dir/out.txt")" == 1 ]] || fail "$what: goodbye more than once"

  if has_line "SE.message: Sound Engine is created!"; then
    stage=2
  elif has_line "GE.message: Graphic Engine is ready!"; then
    stage=1
  else
    stage=0
  fi
  case $stage in
    0)
      # Nothing was created, so nothing is destroyed: banner, then goodbye.
      [[ "$(wc -l <"$run_dir/out.txt")" == 4 ]] || fail "$what: stage 0 but: $(cat "$run_dir/out.txt")"
      ;;
    1)
      has_line "GE.message: ../gfx/galaxy.png was loaded by LodePNG" ||
        fail "$what: closed in the middle of the first draw"
      has_line "GE.message: Graphic Engine is destroyed." || fail "$what: renderer not destroyed"
      ! grep -q "^SE\." "$run_dir/out.txt" || fail "$what: sound engine lines in stage 1"
      ;;
    2)
      diff <(grep -E "^(GE\.message: Graphic Engine is destroyed|SE\.message: (Killing|Sound Engine is destroyed))" \
               "$run_dir/out.txt") - >/dev/null <<'EOF' || fail "$what: wrong destruction order"
GE.message: Graphic Engine is destroyed.
SE.message: Killing Sound Engine...
SE.message: Sound Engine is destroyed!
EOF
      ;;
  esac
  hits[stage]=$((hits[stage] + 1))
  echo "$what: closed in stage $stage"
}

run=0
for ((i = 0; i < early_runs; i++)); do
  run=$((run + 1))
  close_early "$run"
  check_run "$run"
done
for delay in "${delays[@]}"; do
  run=$((run + 1))
  close_after "$run" "$delay"
  check_run "$run"
done
# A run that surely reaches the game.
run=$((run + 1))
new_run "$run"
id=$(wait_window "$window_name") || fail "run $run: no window"
wait_output_line "SE.message: Sound Engine is created!" "$run_dir/out.txt" || fail "run $run: no start-up"
press_escape "$id"
check_run "$run"

echo "closed in stage 0: ${hits[0]} runs, stage 1: ${hits[1]}, stage 2: ${hits[2]} (of $run)"
echo "PASS"
