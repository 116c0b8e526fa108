#!/usr/bin/env bash
# A player's desktop session and the player's steps in it, with the game
# installed from its package. Runs as the player, inside dbus-run-session, in
# a PID namespace whose first process is the reaper (reaper.c): whatever the
# session starts ends with it. scripts/desktop_check.sh starts it.
#   session.sh DESKTOP PLAN
#     DESKTOP  wayland  GNOME's compositor, mutter, headless on a virtual
#                       monitor; the game reaches it through the Xwayland
#                       that mutter starts
#              x11      the window manager openbox on an X server (Xvfb)
#     PLAN     journey  the game from its desktop entry: its stream on the
#                       sound server, its window, the title, a click, closed
#                       by the window manager, again closed with Escape; the
#                       command and its manual; the screen walk; its log in
#                       the player's state folder
#              again    started from the desktop entry and closed with Escape
#              nosound  no sound server: the game's device error and exit 1
# Environment: DUNMARK_DESKTOP_ENDS (the reaper's record of ended processes),
# DUNMARK_DESKTOP_LOGS (a folder for the session's logs), DUNMARK_E2E_DIR
# (the end-to-end tests' folder: the walk and its references),
# DUNMARK_E2E_PATIENCE.
# Nothing is set for OpenAL Soft: it chooses its own output, as on a player's
# machine.
set -euo pipefail
desktop=$1
plan=$2
ends=${DUNMARK_DESKTOP_ENDS:?}
logs=${DUNMARK_DESKTOP_LOGS:?}
e2e_dir=${DUNMARK_E2E_DIR:?}
monitor=1024x768
entry=/usr/share/applications/dunmark.desktop
window_name="Norvik-104 DUNMARK!"
player_log=$HOME/.local/state/dunmark/log/Log.txt
step_name="start"
game_pid=""
launches=0

# The walk's helpers; its scratch folders are the player's own.
export DUNMARK_BUILD_DIR=$HOME/walk
export DUNMARK_GAME=/usr/games/dunmark
mkdir -p "$DUNMARK_BUILD_DIR"
source "$e2e_dir/lib.sh"
source "$e2e_dir/screens_lib.sh"

say() { echo "desktop [$desktop $plan]: $*"; }

# What a failure shows: the step, the game's last words, the desktop's logs.
show_logs() {
  local file
  for file in "$logs"/*.txt "$player_log" "${e2e_work:-/nonexistent}"/{out,err}.txt; do
    [[ -s "$file" ]] || continue
    echo "---- last lines of $file" >&2
    tail -25 "$file" >&2
  done
}
fail() {
  echo "desktop [$desktop $plan]: FAIL in step '$step_name': $*" >&2
  show_logs
  exit 1
}
step() {
  step_name=$1
  say "$1"
}

# Waits until a command succeeds, for the patience at most.
await() {
  local start=$SECONDS
  until "$@" >/dev/null 2>&1; do
    ((SECONDS - start < e2e_patience)) || return 1
    sleep 0.1
  done
}

start_sound_server() {
  pipewire >"$logs/pipewire.txt" 2>&1 &
  # Its clients give up when its socket is not there yet.
  await test -S "$XDG_RUNTIME_DIR/pipewire-0" || fail "pipewire made no socket"
  wireplumber >"$logs/wireplumber.txt" 2>&1 &
  pipewire-pulse >"$logs/pipewire-pulse.txt" 2>&1 &
  # A client asking before the server has made its folder would make the
  # folder itself, and the server would then refuse to start.
  await test -S "$XDG_RUNTIME_DIR/pulse/native" || fail "pipewire-pulse made no socket"
  await pactl info || fail "the sound server does not answer"
  # The null sink appears once WirePlumber has seen it; only then can it be
  # the default.
  pactl load-module module-null-sink sink_name=desktop_out >/dev/null
  await pactl set-default-sink desktop_out || fail "the null sink cannot be the default output"
  say "PipeWire $(pipewire --version | sed -n 's/.*libpipewire \([0-9.]*\).*/\1/p' | tail -1) is up, output desktop_out"
}

start_mutter() {
  local log=$logs/compositor.txt number
  mutter --headless --wayland --virtual-monitor "$monitor" --wayland-display=wayland-dunmark >"$log" 2>&1 &
  await grep -q "Using public X11 display" "$log" || true
  number=$(sed -n 's/.*Using public X11 display :\([0-9]*\).*/\1/p' "$log" | head -1)
  [[ -n "$number" ]] || fail "mutter started no Xwayland"
  export WAYLAND_DISPLAY=wayland-dunmark DISPLAY=":$number"
  XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
  export XAUTHORITY
  await xdpyinfo || fail "Xwayland on $DISPLAY does not answer"
  say "mutter $(mutter --version | awk '{ print $2; exit }') is up, Xwayland on $DISPLAY"
}

start_openbox() {
  start_xvfb "$monitor"
  openbox >"$logs/compositor.txt" 2>&1 &
  await bash -c 'wmctrl -m | grep -q "^Name: Openbox"' || fail "openbox did not take the screen"
  say "openbox is up on $DISPLAY"
}

# The game's process (this session's only one: the PID namespace shows no other).
find_game() {
  local dir
  for dir in /proc/[0-9]*; do
    [[ "$(cat "$dir/comm" 2>/dev/null)" == dunmark ]] && { echo "${dir#/proc/}"; return 0; }
  done
  return 1
}

# Starts the game as the desktop's menu does: from its installed entry. Its
# process is found running, or, if it has ended already, in the reaper's
# record.
launch() {
  launches=$((launches + 1))
  game_out=$logs/game-$launches.txt
  local ended_before
  ended_before=$(ended_games | wc -l)
  gio launch "$entry" >"$game_out" 2>&1 || fail "gio launch $entry: $(cat "$game_out")"
  local start=$SECONDS
  game_pid=""
  while [[ -z "$game_pid" ]] && ((SECONDS - start < e2e_patience)); do
    game_pid=$(find_game || ended_games | sed -n "$((ended_before + 1))p")
    sleep 0.05
  done
  [[ -n "$game_pid" ]] || fail "no game process after gio launch"
}

# The pids of the games that have ended, in order.
ended_games() {
  awk '$2 == "dunmark" { print $1 }' "$ends"
}

# Waits for the game's window and its sound; sets game_window.
await_running() {
  game_window=$(wait_window "$window_name") || fail "no window named $window_name"
  await grep -qxF "SE.message: Sound Engine is created!" "$game_out" || fail "the sound engine did not start"
}

# Waits until the game has ended and checks how, by the reaper's record.
await_end() {
  local expected=$1 how
  await grep -q "^$game_pid dunmark " "$ends" || fail "the game did not end"
  how=$(awk -v p="$game_pid" '$1 == p { print $3, $4 }' "$ends")
  [[ "$how" == "$expected" ]] || fail "the game ended with $how, not $expected: $(tail -3 "$game_out")"
}

# The sink inputs of the game's process, by their own properties (a
# PulseAudio client's) or by their client's (a PipeWire client's).
game_streams() {
  local clients
  clients=$(pactl list clients | awk -v p="application.process.id = \"$game_pid\"" '
    /^Client #/ { id = substr($2, 2) }
    index($0, p) { print id }')
  pactl list sink-inputs | awk -v p="application.process.id = \"$game_pid\"" -v clients=" ${clients//$'\n'/ } " '
    /^Sink Input #/ { id = substr($3, 2) }
    /^\tClient: / && index(clients, " " $2 " ") { print id }
    index($0, p) { print id }' | sort -u
}

# How OpenAL Soft reaches the sound server: its PulseAudio output is a client
# of pipewire-pulse; its PipeWire output is a native client.
game_stream_api() {
  local api
  api=$(pactl list sink-inputs | sed -n 's/.*client\.api = "\(.*\)"/\1/p' | head -1)
  case "$api" in
    pipewire-pulse) echo "OpenAL Soft's PulseAudio output, through pipewire-pulse" ;;
    "") echo "OpenAL Soft's PipeWire output, a native client" ;;
    *) echo "client.api $api" ;;
  esac
}

has_game_stream() { [[ -n "$(game_streams)" ]]; }
has_no_stream() { [[ -z "$(pactl list short sink-inputs)" ]]; }

check_stream() {
  if ! await has_game_stream; then
    pactl list sink-inputs >"$logs/sink-inputs.txt" 2>&1
    fail "no stream of process $game_pid on the sound server; its streams: $(pactl list short sink-inputs)"
  fi
  say "the game's stream is on the sound server: $(game_stream_api)"
}

check_no_stream() {
  await has_no_stream || fail "a stream is left: $(pactl list short sink-inputs)"
}

# The window's client area: 640x480, centred on the monitor, of the class the
# desktop entry names.
check_window() {
  local info x y w h mw mh
  info=$(xwininfo -id "$game_window")
  x=$(awk '/Absolute upper-left X:/ { print $4 }' <<<"$info")
  y=$(awk '/Absolute upper-left Y:/ { print $4 }' <<<"$info")
  w=$(awk '/Width:/ { print $2 }' <<<"$info")
  h=$(awk '/Height:/ { print $2 }' <<<"$info")
  mw=${monitor%x*}
  mh=${monitor#*x}
  say "window ${w}x${h} at ($x, $y) on a ${monitor} monitor"
  [[ "$w" == 640 && "$h" == 480 ]] || fail "the window is ${w}x${h}, not 640x480"
  ((x == (mw - w) / 2 && y == (mh - h) / 2)) || fail "the window at ($x, $y) is not centred on $monitor"
  # The class by which the desktop knows the window as its entry's.
  local class
  class=$(xprop -id "$game_window" WM_CLASS)
  [[ "$class" == *'"dunmark", "Dunmark"' ]] || fail "the window's class is not the desktop entry's: $class"
}

# The title as its reference shows it; a click leads to the world card.
check_title_and_click() {
  mkdir -p "$e2e_work/shots"
  await_reference title "$e2e_work/shots/title.png"
  click 320 240
  local start=$SECONDS changed=0
  while ((SECONDS - start < e2e_patience)); do
    capture "$e2e_work/shots/after-click.png"
    changed=$(pixel_count "$e2e_work/shots/title.png" "$e2e_work/shots/after-click.png")
    ((changed > 20000)) && break
    sleep 0.1
  done
  ((changed > 20000)) || fail "the title stayed after a click ($changed pixels changed)"
  say "a click leads on from the title ($changed pixels changed)"
}

journey() {
  make_workdir
  step "start from the desktop entry"
  launch
  await_running
  step "the stream on the sound server"
  check_stream
  step "the window"
  check_window
  step "the title and a click"
  check_title_and_click
  step "closed by the window manager"
  wmctrl -i -c "$game_window"
  await_end "exit 0"
  [[ "$(tail -1 "$game_out")" == goodbye ]] || fail "no goodbye: $(tail -3 "$game_out")"
  check_no_stream
  step "again from the desktop entry, closed with Escape"
  launch
  await_running
  press_escape "$game_window"
  await_end "exit 0"
  [[ "$(tail -1 "$game_out")" == goodbye ]] || fail "no goodbye: $(tail -3 "$game_out")"
  check_no_stream
  step "the command and its manual"
  [[ "$(dunmark --version)" == "dunmark "* ]] || fail "dunmark --version: $(dunmark --version 2>&1)"
  local manual
  manual=$(MANWIDTH=80 man dunmark 2>&1) || fail "man dunmark: $manual"
  grep -q "HOW TO PLAY" <<<"$manual" || fail "man dunmark shows no manual: $(head -3 <<<"$manual")"
  step "the screen walk"
  rm -rf "$e2e_work"
  DUNMARK_E2E_DISPLAY=$DISPLAY run_screens
  step "the log in the player's state folder"
  grep -qxF "GE.message: Texture ../gfx/font.bmp is loaded." "$player_log" || fail "no Log.txt at $player_log"
}

again() {
  make_workdir
  step "start from the desktop entry"
  launch
  await_running
  check_stream
  step "closed with Escape"
  press_escape "$game_window"
  await_end "exit 0"
  [[ "$(tail -1 "$game_out")" == goodbye ]] || fail "no goodbye: $(tail -3 "$game_out")"
  check_no_stream
}

nosound() {
  step "start from the desktop entry with no sound server"
  launch
  await_end "exit 1"
  [[ "$(tail -1 "$game_out")" == "SE.error: Cannot open device" ]] ||
    fail "not the device error: $(tail -3 "$game_out")"
  say "the game ended with 'SE.error: Cannot open device' and exit 1"
}

main() {
  step "the desktop"
  [[ "$plan" == nosound ]] || start_sound_server
  case "$desktop" in
    wayland) start_mutter ;;
    x11) start_openbox ;;
    *) fail "unknown desktop $desktop" ;;
  esac
  case "$plan" in
    journey | again | nosound) "$plan" ;;
    *) fail "unknown plan $plan" ;;
  esac
  say "passed"
}

main
