#!/usr/bin/env bash
# The Debian package as a distribution would see it. Builds it with the
# README's command (package.sh); lintian must report no error and no
# warning; the desktop entry and the AppStream metainfo must validate. Then
# installs it with apt, reads its manual page, asks --help and --version,
# starts the game under Xvfb the way the desktop entry's Exec line does, from
# an unrelated folder, closes it with Escape, finds Log.txt in the XDG state
# folder, purges the package and checks that none of its files is left
# (purge_package.sh). Needs root (or sudo).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${DUNMARK_BUILD_DIR:-$(cd "$here/.." && pwd)/build}
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "check_package: needs root; skipped"; exit 0; }
  sudo="sudo"
fi
fail() { echo "check_package: FAIL: $*" >&2; exit 1; }
# A desktop session's PATH on Debian: /usr/games is on it, unlike root's.
session_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games

deb=$(DUNMARK_BUILD_DIR=$build bash "$here/package.sh" | tail -1)
echo "Package: $deb"
# Built for the release it runs on, and named so.
release=$(. /etc/os-release && echo "${VERSION_ID:-}")
[[ -z "$release" || "$deb" == *"+deb${release}_"* ]] || fail "$deb is not named for Debian $release"
dpkg-deb --field "$deb" Version Depends

work=$(mktemp -d /tmp/dunmark-pkg-XXXXXX)
cleanup() {
  $sudo apt-get purge -y dunmark >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# Info tags are listed; the reasons for those that stay are in packaging/.
lintian --fail-on error,warning --display-info "$deb" 2>/dev/null || fail "lintian: $(lintian "$deb" 2>&1)"
echo "check_package: lintian reports no error and no warning"
dpkg-deb -x "$deb" "$work/content"
desktop="$work/content/usr/share/applications/dunmark.desktop"
desktop-file-validate "$desktop" || fail "desktop entry"
grep -qx "Exec=dunmark --language en" "$desktop" || fail "desktop entry has no \"Play in English\" action"
appstreamcli validate --no-net "$work"/content/usr/share/metainfo/*.metainfo.xml || fail "AppStream metainfo"
[[ -s "$work/content/usr/share/dunmark/sfx/button.wav" && -s "$work/content/usr/share/dunmark/sfx/title.mp3" ]] ||
  fail "the sounds are not in /usr/share/dunmark/sfx"

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y "$deb" >/dev/null

[[ "$(man -w dunmark)" == /usr/share/man/man6/dunmark.6.gz ]] || fail "man finds: $(man -w dunmark)"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings dunmark 2>&1 >"$work/man.txt")
[[ -z "$warnings" ]] || fail "man dunmark warns: $warnings"
grep -q "HOW TO PLAY" "$work/man.txt" || fail "man dunmark shows no manual"

mkdir -p "$work/home" "$work/elsewhere"
cd "$work/elsewhere"
as_player() { env -i HOME="$work/home" PATH="$session_path" LANG=C.UTF-8 "$@"; }
version=$(as_player dunmark --version) || fail "dunmark --version failed"
package_version=$(dpkg-deb --field "$deb" Version)
[[ "$version" == "dunmark ${package_version%%+*}" ]] || fail "--version: $version"
as_player dunmark --help | grep -qF -- "-g[eometry]" || fail "dunmark --help shows no toolkit options"
[[ -z "$(find "$work/home" "$work/elsewhere" -mindepth 1)" ]] || fail "--help or --version wrote files"

# Starts the game as the menu does with the given Exec line, closes it with
# Escape once its window shows and its sound engine is up, and waits for it
# to end (60 s at most).
play_from_menu() {
  local exec_line
  exec_line=$(sed 's/ %[fFuUick]//g' <<<"$1")
  rm -rf "$work/home/.local/state"
  as_player ALSOFT_DRIVERS=null EXEC_LINE="$exec_line" bash "$here/with_xvfb.sh" bash -c '
    sh -c "$EXEC_LINE" >"$HOME/out.txt" 2>&1 &
    pid=$!
    for i in $(seq 1 200); do
      id=$(xdotool search --onlyvisible --name "^Norvik-104 DUNMARK!\$" 2>/dev/null | head -1)
      [[ -n "$id" ]] && grep -q "Sound Engine is created" "$HOME/out.txt" && break
      sleep 0.05
    done
    [[ -n "$id" ]] || { echo "no window"; cat "$HOME/out.txt"; kill $pid; exit 1; }
    xdotool windowfocus --sync "$id" key Escape
    for i in $(seq 1 600); do
      kill -0 $pid 2>/dev/null || break
      sleep 0.1
    done
    kill -0 $pid 2>/dev/null && { echo "still running 60 s after Escape"; kill $pid; exit 1; }
    wait $pid
  ' || fail "$exec_line did not run: $(cat "$work/home/out.txt")"
  [[ "$(tail -1 "$work/home/out.txt")" == "goodbye" ]] || fail "$exec_line: no goodbye: $(tail -3 "$work/home/out.txt")"
  local log="$work/home/.local/state/dunmark/log/Log.txt"
  grep -qxF "GE.message: Texture ../gfx/font.bmp is loaded." "$log" || fail "$exec_line: no Log.txt in the XDG state folder"
  [[ ! -e "$work/elsewhere/Log.txt" ]] || fail "$exec_line: Log.txt written to the working directory"
}
# The entry's own Exec line, then its "Play in English" action's.
play_from_menu "$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Exec=//p' "$desktop")"
play_from_menu "$(sed -n '/^\[Desktop Action english\]/,/^\[/s/^Exec=//p' "$desktop")"
echo "check_package: the installed game started from its desktop entry and its action and ended cleanly"

bash "$here/purge_package.sh"
