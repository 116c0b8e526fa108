#!/usr/bin/env bash
# `cmake --install` to a fresh prefix gives a working game: the launcher on
# the PATH starts it from the user's XDG state folder, from any working
# directory; the manual page, the metainfo and the desktop entry are there
# and valid; the entry's "Play in English" action starts the game in English
# through the launcher, which passes every argument on.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

prefix=$(mktemp -d /tmp/dunmark-prefix-XXXXXX)
home=$(mktemp -d /tmp/dunmark-home-XXXXXX)
elsewhere=$(mktemp -d /tmp/dunmark-cwd-XXXXXX)
trap 'e2e_cleanup; rm -rf "$prefix" "$home" "$elsewhere"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for f in bin/dunmark libexec/dunmark/dunmark share/dunmark/gfx/font.bmp share/dunmark/gfx/galaxy.png \
         share/applications/dunmark.desktop share/icons/hicolor/64x64/apps/dunmark.png \
         share/man/man6/dunmark.6.gz share/doc/dunmark/copyright share/doc/dunmark/changelog.gz; do
  [[ -e "$prefix/$f" ]] || fail "not installed: $f"
done
grep -qx "Exec=dunmark" "$prefix/share/applications/dunmark.desktop" || fail "desktop entry does not start dunmark"
desktop-file-validate "$prefix/share/applications/dunmark.desktop" || fail "desktop entry is not valid"
action_exec=$(sed -n '/^\[Desktop Action english\]/,/^\[/s/^Exec=//p' "$prefix/share/applications/dunmark.desktop")
[[ "$action_exec" == "dunmark --language en" ]] || fail "no \"Play in English\" action: $action_exec"
grep -qx "Actions=english;" "$prefix/share/applications/dunmark.desktop" || fail "the action is not listed"
metainfo=("$prefix"/share/metainfo/*.metainfo.xml)
[[ ${#metainfo[@]} == 1 && -f "${metainfo[0]}" ]] || fail "no single metainfo file: ${metainfo[*]}"
appstreamcli validate --no-net "${metainfo[0]}" >"$home/appstream.txt" 2>&1 ||
  fail "metainfo is not valid: $(cat "$home/appstream.txt")"
# The manual page, on a UTF-8 terminal and on a plain ASCII one.
for locale in C.UTF-8 C; do
  warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$prefix/share/man/man6/dunmark.6.gz" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "the manual page renders with warnings in $locale: $warnings"
done

start_xvfb
out="$home/out.txt"
state="$home/state"
(cd "$elsewhere" && HOME="$home" XDG_STATE_HOME="$state" PATH="$prefix/bin:$PATH" exec dunmark >"$out" 2>&1) &
game_pid=$!
id=$(wait_window "Norvik-104 DUNMARK!") || fail "the installed game opened no window: $(cat "$out")"
wait_output_line "SE.message: Sound Engine is created!" "$out" || fail "start-up did not finish: $(cat "$out")"
press_escape "$id"
wait_game
[[ "$game_code" == 0 ]] || fail "exit code $game_code"
[[ "$(tail -1 "$out")" == "goodbye" ]] || fail "no goodbye: $(tail -3 "$out")"
log="$state/dunmark/log/Log.txt"
grep -qxF "GE.message: Texture ../gfx/font.bmp is loaded." "$log" || fail "no Log.txt in the XDG state folder"
[[ ! -e "$elsewhere/Log.txt" ]] || fail "Log.txt written to the working directory"
[[ ! -e "$home/.local" ]] || fail "files written outside the XDG state folder: $(find "$home/.local")"

# The menu's "Play in English": its command line, through the launcher, shows
# the English title.
make_workdir
mkdir -p "$e2e_work/shots"
(cd "$elsewhere" && HOME="$home" XDG_STATE_HOME="$state" PATH="$prefix/bin:$PATH" exec sh -c "$action_exec" >"$out" 2>&1) &
game_pid=$!
e2e_pids+=("$game_pid")
game_window=$(wait_window "Norvik-104 DUNMARK!") || fail "the English action opened no window: $(cat "$out")"
screens_language=en
await_reference title "$e2e_work/shots/title.png"
press_escape "$game_window"
wait_game
[[ "$game_code" == 0 ]] || fail "exit code $game_code after the English action"

# A wrong language reaches the game through the launcher, which ends with its
# usage error.
code=0
(cd "$elsewhere" && HOME="$home" XDG_STATE_HOME="$state" "$prefix/bin/dunmark" --language xx) 2>"$home/err.txt" || code=$?
[[ "$code" == 2 ]] || fail "the launcher's --language xx: exit code $code"
grep -q "unknown language" "$home/err.txt" || fail "the launcher's --language xx: $(cat "$home/err.txt")"

# Through the launcher --version answers without preparing any folder.
[[ "$(cd "$elsewhere" && HOME="$home/none" "$prefix/bin/dunmark" --version)" == "dunmark "* ]] ||
  fail "the launcher does not pass --version on"
[[ ! -e "$home/none" ]] || fail "--version made folders: $(find "$home/none")"
echo "PASS"
