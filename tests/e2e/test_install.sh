#!/usr/bin/env bash
# `cmake --install` to a fresh prefix gives a working game: the launcher on
# the PATH starts it from a per-user folder, from any working directory.
source "$(dirname "$0")/lib.sh"

prefix=$(mktemp -d /tmp/dunmark-prefix-XXXXXX)
home=$(mktemp -d /tmp/dunmark-home-XXXXXX)
elsewhere=$(mktemp -d /tmp/dunmark-cwd-XXXXXX)
trap 'e2e_cleanup; rm -rf "$prefix" "$home" "$elsewhere"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for f in bin/dunmark libexec/dunmark/dunmark share/dunmark/gfx/font.bmp share/dunmark/gfx/galaxy.png \
         share/applications/dunmark.desktop share/icons/hicolor/64x64/apps/dunmark.png; do
  [[ -e "$prefix/$f" ]] || fail "not installed: $f"
done
grep -qx "Exec=dunmark" "$prefix/share/applications/dunmark.desktop" || fail "desktop entry does not start dunmark"

start_xvfb
out="$home/out.txt"
(cd "$elsewhere" && HOME="$home" PATH="$prefix/bin:$PATH" exec dunmark >"$out" 2>&1) &
game_pid=$!
id=$(wait_window "Norvik-104 DUNMARK!") || fail "the installed game opened no window: $(cat "$out")"
wait_output_line "SE.message: Sound Engine is created!" "$out" || fail "start-up did not finish: $(cat "$out")"
press_escape "$id"
wait_game
[[ "$game_code" == 0 ]] || fail "exit code $game_code"
[[ "$(tail -1 "$out")" == "goodbye" ]] || fail "no goodbye: $(tail -3 "$out")"
log="$home/.local/share/dunmark/bin/Log.txt"
grep -qxF "GE.message: Texture ../gfx/font.bmp is loaded." "$log" || fail "no Log.txt in the per-user folder"
[[ ! -e "$elsewhere/Log.txt" ]] || fail "Log.txt written to the working directory"
echo "PASS"
