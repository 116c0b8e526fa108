#!/usr/bin/env bash
# The player's journey on the desktops players have. Builds the Debian
# package and installs it with the README's commands (and into a prefix, the
# README's other way), installs the desktop's packages
# (packages-desktop.txt), then plays it as an ordinary user in real
# desktop sessions, each with a D-Bus session bus and PipeWire (WirePlumber,
# pipewire-pulse, a null sink as the default output):
#   GNOME's compositor (mutter, headless, Wayland with Xwayland)  the journey
#   the window manager openbox on an X server                     the journey
# (tests/desktop/session.sh says what a journey checks); then purges the
# package, which must take every file it installed and leave the player's
# state, installs it again and starts it again; last, with no sound server,
# the game must end with its device error and exit 1.
# Each session is the only program of a PID, mount and network namespace of
# its own, whose first process (tests/desktop/reaper.c) records how every
# process ended: however a session ends, nothing of it is left running, and
# its X displays never meet another X server's. Needs root; the fresh-root
# check runs it on a fresh machine after the play command.
#   bash scripts/desktop_check.sh
# Settings: DUNMARK_E2E_PATIENCE (seconds a step may wait, default 60);
# DUNMARK_DESKTOP_USER (the player's account, default dunmark-player).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
patience=${DUNMARK_E2E_PATIENCE:-60}
player=${DUNMARK_DESKTOP_USER:-dunmark-player}
# A desktop session's PATH on Debian: /usr/games is on it, unlike root's.
session_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
work=""
session_pid=""   # timeout's, which leads the session's process group
run=""           # the session's XDG_RUNTIME_DIR

say() { echo "desktop-check: $*"; }
die() { echo "desktop-check: error: $*" >&2; exit 1; }

cleanup() {
  local code=$?
  trap - EXIT INT TERM HUP
  # Killing the group kills unshare, whose namespace then dies with it.
  [[ -z "$session_pid" ]] || kill -KILL -- "-$session_pid" 2>/dev/null || true
  [[ -z "$session_pid" ]] || wait "$session_pid" 2>/dev/null || true
  [[ -z "$run" ]] || rm -rf --one-file-system "$run"
  [[ -z "$work" ]] || rm -rf --one-file-system "$work"
  exit "$code"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# The README's package commands, as root.
install_package() {
  local deb out
  deb=$(cd "$top" && bash scripts/package.sh | tail -1) || die "bash scripts/package.sh failed"
  say "built $deb"
  out=$(cd "$top" && DEBIAN_FRONTEND=noninteractive apt install -y ./build/dunmark_*.deb 2>&1) ||
    die "apt install ./build/dunmark_*.deb failed: $(tail -5 <<<"$out")"
  say "installed $(dpkg-query -W -f '${Package} ${Version}' dunmark)"
}

# The README's other way, into a prefix of one's own, with the same set-up.
install_into_prefix() {
  local home
  home=$(mktemp -d /var/tmp/dunmark-prefix-home.XXXXXX)
  (cd "$top" && HOME=$home cmake --install build --prefix "$home/.local" >/dev/null) ||
    die "cmake --install build --prefix ~/.local failed"
  HOME=$home "$home/.local/bin/dunmark" --version | grep -q "^dunmark " || die "~/.local/bin/dunmark --version failed"
  rm -rf "$home"
  say "cmake --install build --prefix ~/.local gives a working command"
}

make_player() {
  id -u "$player" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$player"
  home=$(getent passwd "$player" | cut -d: -f6)
  uid=$(id -u "$player")
  gid=$(id -g "$player")
}

# The reaper and the player's steps, where the player can read them.
prepare_work() {
  work=$(mktemp -d /var/tmp/dunmark-desktop.XXXXXX)
  chmod 755 "$work"
  cc -O2 -Wall -Wextra -Werror -o "$work/reaper" "$top/tests/desktop/reaper.c"
  mkdir "$work/tests"
  cp -r "$top/tests/e2e" "$top/tests/desktop" "$work/tests/"
  chmod -R a+rX "$work/tests"
}

# One session: DESKTOP PLAN (see tests/desktop/session.sh). Fails with the
# session, whose own failure names the step and shows the logs.
run_session() {
  local desktop=$1 plan=$2 name="$1-$2" logs code=0 start=$SECONDS
  logs=$work/logs/$name
  run=/run/user/$uid
  install -d -o "$player" -g "$gid" "$logs"
  rm -rf "$run"
  install -d -m 700 -o "$player" -g "$gid" "$run"
  say "session $name"
  timeout --kill-after=10 $((20 * patience)) \
    unshare --pid --fork --kill-child --mount --propagation unchanged --net \
    sh -c 'mount --make-rprivate /proc && mount -t proc proc /proc && exec "$@"' sh \
    "$work/reaper" "$logs/ends.txt" \
    setpriv --reuid="$uid" --regid="$gid" --init-groups \
    env -i HOME="$home" USER="$player" LOGNAME="$player" SHELL=/bin/bash PATH="$session_path" \
      LANG=C.UTF-8 XDG_RUNTIME_DIR="$run" DUNMARK_DESKTOP_ENDS="$logs/ends.txt" DUNMARK_DESKTOP_LOGS="$logs" \
      DUNMARK_E2E_DIR="$work/tests/e2e" DUNMARK_E2E_PATIENCE="$patience" \
    dbus-run-session -- bash "$work/tests/desktop/session.sh" "$desktop" "$plan" &
  session_pid=$!
  wait "$session_pid" || code=$?
  session_pid=""
  rm -rf "$run"
  run=""
  # The X servers' lock files and sockets, which a compositor ended by a
  # signal leaves behind.
  find /tmp -maxdepth 2 \( -path '/tmp/.X*-lock' -o -path '/tmp/.X11-unix/X*' \) -user "$player" -delete
  ((code != 124 && code != 137)) || die "session $name took longer than $((20 * patience)) s and was ended"
  ((code == 0)) || die "session $name failed (exit code $code)"
  say "session $name passed in $((SECONDS - start)) s"
}

check_purge_keeps_state() {
  bash "$here/purge_package.sh"
  [[ -s "$home/.local/state/dunmark/log/Log.txt" ]] || die "purging took the player's Log.txt"
  say "the player's state is left alone: $home/.local/state/dunmark"
}

main() {
  [[ $(id -u) -eq 0 ]] || die "needs root (packages, the player's account, namespaces)"
  [[ "$patience" =~ ^[0-9]+$ ]] || die "DUNMARK_E2E_PATIENCE must be a number of seconds"
  local start=$SECONDS
  install_package
  install_into_prefix
  bash "$here/install_packages.sh" "$here/packages-desktop.txt"
  say "desktop packages in place after $((SECONDS - start)) s"
  make_player
  prepare_work
  # The X servers' socket folder, as a desktop machine makes it at boot.
  install -d -m 1777 -o root -g root /tmp/.X11-unix
  run_session wayland journey
  run_session x11 journey
  check_purge_keeps_state
  install_package
  run_session wayland again
  run_session wayland nosound
  bash "$here/purge_package.sh"
  say "passed in $((SECONDS - start)) s"
}

main "$@"
