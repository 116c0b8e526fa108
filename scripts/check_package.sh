#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, starts the installed game
# under Xvfb from an unrelated folder, closes it with Escape and removes the
# package again. Needs root (or sudo).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${DUNMARK_BUILD_DIR:-$(cd "$here/.." && pwd)/build}
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "check_package: needs root; skipped"; exit 0; }
  sudo="sudo"
fi

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/dunmark_*.deb | head -1)
echo "Package: $deb"
dpkg-deb --field "$deb" Depends
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y "$deb" >/dev/null

work=$(mktemp -d /tmp/dunmark-pkg-XXXXXX)
cleanup() {
  $sudo apt-get remove -y dunmark >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/elsewhere"
cd "$work/elsewhere"
HOME="$work/home" ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  dunmark >"$HOME/out.txt" 2>&1 &
  pid=$!
  for i in $(seq 1 200); do
    id=$(xdotool search --onlyvisible --name "^Norvik-104 DUNMARK!\$" 2>/dev/null | head -1)
    [[ -n "$id" ]] && grep -q "Sound Engine is created" "$HOME/out.txt" && break
    sleep 0.05
  done
  [[ -n "$id" ]] || { echo "no window"; cat "$HOME/out.txt"; kill $pid; exit 1; }
  xdotool windowfocus --sync "$id" key Escape
  wait $pid
'
[[ "$(tail -1 "$work/home/out.txt")" == "goodbye" ]] || { echo "no goodbye"; cat "$work/home/out.txt"; exit 1; }
echo "check_package: the installed game started and ended cleanly"
$sudo apt-get remove -y dunmark >/dev/null
! dpkg-query -W -f='${Status}' dunmark 2>/dev/null | grep -q "install ok installed" || { echo "not removed"; exit 1; }
echo "check_package: removed again"
