#!/usr/bin/env bash
# Runs a command with DISPLAY set to an Xvfb server of its own, 1024x768, on
# a display number the server picks itself (so that servers started at the
# same time, or from a chroot sharing the abstract X sockets, never clash).
#   bash scripts/with_xvfb.sh COMMAND [ARGS...]
set -euo pipefail
fifo=$(mktemp -u /tmp/dunmark-xvfb-XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true' EXIT
number=""
read -r -t 60 number <"$fifo" || true
rm -f "$fifo"
[[ -n "$number" ]] || { echo "with_xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
code=0
"$@" || code=$?
exit "$code"
