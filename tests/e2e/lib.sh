# Helpers for the end-to-end tests of the real program under Xvfb.
# Sourced by tests/e2e/test_*.sh; they run from CTest with DUNMARK_BUILD_DIR set.
set -euo pipefail

build=${DUNMARK_BUILD_DIR:?DUNMARK_BUILD_DIR must name the build folder}
# The program under test: the build's, or another (DUNMARK_GAME), such as the
# installed command that the desktop check walks.
dunmark_bin=${DUNMARK_GAME:-$build/bin/dunmark}
e2e_pids=()
# How long a wait may last before the test fails. Only a broken run ever waits
# that long; a busy machine (sanitizers, other builds) may need much of it.
e2e_patience=${DUNMARK_E2E_PATIENCE:-60}

fail() { echo "FAIL: $*" >&2; exit 1; }

# True for a sanitizer build of the game. GCC links the sanitizer's runtime as
# a shared library, clang into the program itself: either way the program
# calls its start-up function.
sanitized_build() { grep -qaE "__(asan|tsan)_init" "$dunmark_bin"; }

e2e_cleanup() {
  local pid
  # A stopped game (the screen walk stops it for each picture) takes TERM once continued.
  for pid in "${e2e_pids[@]}"; do kill "$pid" 2>/dev/null && kill -CONT "$pid" 2>/dev/null || true; done
  [[ -n "${e2e_work:-}" ]] && rm -rf "$e2e_work"
  return 0
}
trap e2e_cleanup EXIT

# A scratch folder shaped like the build tree: work/bin is the working
# directory, work/gfx and work/sfx link to the built art and sounds. The
# build's game keeps its state (the mute choice) in work/state, never in the
# home; an installed game (DUNMARK_GAME) keeps its player's own, as the
# desktop check's player has it.
make_workdir() {
  e2e_work=$(mktemp -d /tmp/dunmark-e2e-XXXXXX)
  mkdir -p "$e2e_work/bin"
  ln -s "$build/gfx" "$e2e_work/gfx"
  ln -s "$build/sfx" "$e2e_work/sfx"
  [[ -n "${DUNMARK_GAME:-}" ]] || export XDG_STATE_HOME=$e2e_work/state
}

# Starts Xvfb on a display it chooses itself (so parallel tests never share
# one), with the given screen size (default 1024x768), and exports DISPLAY.
start_xvfb() {
  local size=${1:-1024x768} fifo number i
  fifo=$(mktemp -u /tmp/dunmark-xvfb-XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  e2e_pids+=($!)
  read -r -t 20 number <"$fifo" || true
  rm -f "$fifo"
  [[ -n "$number" ]] || fail "no Xvfb display could be started"
  export DISPLAY=":$number"
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "Xvfb on $DISPLAY does not answer"
}

# Waits until a window with exactly this name is visible; prints its id.
# Where a window manager's frame bears the same name (mutter's frames do),
# the program's own window is the one the manager has given a WM_STATE.
wait_window() {
  local name=$1 ids id start=$SECONDS
  while ((SECONDS - start < e2e_patience)); do
    ids=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null || true)
    if [[ $(wc -w <<<"$ids") -gt 1 ]]; then
      for id in $ids; do
        xprop -id "$id" WM_STATE 2>/dev/null | grep -q "window state" && { echo "$id"; return 0; }
      done
    elif [[ -n "$ids" ]]; then
      echo "$ids"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# Starts the game in work/bin; output in $e2e_work/out.txt, pid in game_pid.
start_game() {
  (cd "$e2e_work/bin" && exec "$dunmark_bin" "$@" >"$e2e_work/out.txt" 2>"$e2e_work/err.txt") &
  game_pid=$!
}

# Waits for the game to end; sets game_code to its exit code ("timeout" if it
# had to be killed). Not for use inside $(...): only this shell can wait for it.
wait_game() {
  local start=$SECONDS
  game_code="timeout"
  while ((SECONDS - start < e2e_patience)); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      game_code=0
      wait "$game_pid" || game_code=$?
      return 0
    fi
    sleep 0.05
  done
  kill -9 "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
}

# Waits until the output file holds a line.
wait_output_line() {
  local line=$1 file=${2:-$e2e_work/out.txt} start=$SECONDS
  while ((SECONDS - start < e2e_patience)); do
    grep -qxF -- "$line" "$file" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

# Press and release with a pause between, as a hand clicks.
click_at() {
  local id=$1 x=$2 y=$3
  xdotool mousemove --window "$id" "$x" "$y" mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.05
}

press_escape() {
  xdotool windowfocus --sync "$1" key Escape 2>/dev/null || xdotool key --window "$1" Escape
}

# Sends a signal to one thread of the game (the kernel picks any thread that
# does not block it for a signal sent to the process); signal_sender is the
# process that sent it.
signal_thread() {
  local task=$1 signal=$2
  signal_sender=$(python3 -c 'import ctypes, os, sys
libc = ctypes.CDLL(None, use_errno=True)
print(os.getpid())
sys.exit(libc.tgkill(int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])) != 0)' "$game_pid" "$task" "$signal")
}

# The frames of a crash report (see sys::ReportCrashes), those in the program
# resolved to function, file and line by addr2line (binutils) from the
# program's debugging information. A frame in no file at all is code compiled
# at run time (the software OpenGL driver's shaders), where the report's
# backtrace ends.
resolve_frames() {
  local report=$1 line offset
  while IFS= read -r line; do
    if [[ "$line" == "$dunmark_bin(+0x"* ]]; then
      offset=${line#"$dunmark_bin(+"}
      offset=${offset%%)*}
      # A return address: the call is the byte before it.
      addr2line -C -f -i -p -e "$dunmark_bin" "$(printf '0x%x' $((offset - 1)))" | sed 's/^ */  /'
    elif [[ "$line" == "["* ]]; then
      echo "  $line code in no file (compiled at run time): the backtrace ends here"
    elif [[ "$line" == *"[0x"*"]" ]]; then
      echo "  $line"
    fi
  done <"$report"
}
