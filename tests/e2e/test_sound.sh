#!/usr/bin/env bash
# What a player hears, captured by OpenAL Soft's wave output from the real
# game on a fixed world (DUNMARK_SEED): title -> world card -> the first
# fight -> a blow -> a potion. The capture holds the effects of those events
# in their order and the music of each screen (tests/support/hearing.py).
# Started with --mute, it is silent throughout and nothing is kept; muted by
# M at the title, the walk after it is silent, and so is the next start.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

# Debian's Python, with NumPy, whatever python3 comes first on PATH.
hear=(/usr/bin/python3 "$(dirname "$0")/../support/hearing.py")
sfx=$build/sfx
# The first world of seed 0 opens with a skeleton, which survives a blow.
seed=0
title=(320 240)
# The walk after the title's click lasts more than this.
walk_seconds=4

make_workdir
start_xvfb

# Starts the game writing what it plays into $e2e_work/NAME.wav.
start_captured() {
  local name=$1
  shift
  printf '[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\ndither=false\nfrequency=44100\n[wave]\nfile=%s\n' \
    "$e2e_work/$name.wav" >"$e2e_work/$name.conf"
  ALSOFT_CONF=$e2e_work/$name.conf ALSOFT_DRIVERS=wave DUNMARK_SEED=$seed start_game "$@"
  e2e_pids+=("$game_pid")
  game_window=$(wait_window "Norvik-104 DUNMARK!") || fail "$name: no game window"
  wait_output_line "SE.message: Music ../sfx/title.mp3 is started to play" || fail "$name: no title music"
  sleep 1
}

# From the title, each step waiting until the game stands where its click goes.
walk() {
  click_at "$game_window" "${title[@]}"
  wait_output_line "SE.message: Music ../sfx/fight.mp3 is started to play" || fail "no fight music started"
  click_at "$game_window" "${button_left[@]}"
  sleep 1
  click_at "$game_window" "${button_middle[@]}"
  # The fight's music, heard on its own.
  sleep 3
}

quit() {
  press_escape "$game_window"
  wait_game
  [[ "$game_code" == 0 ]] || fail "the game ended with $game_code: $(tail -3 "$e2e_work/out.txt")"
}

start_captured heard
walk
quit
"${hear[@]}" "$e2e_work/heard.wav" "$sfx"/{button,strike,struck,potion}.wav -- "$sfx"/{title,road,fight}.mp3 \
  || fail "the walk was not heard as played"

start_captured started_muted --mute
walk
quit
"${hear[@]}" "$e2e_work/started_muted.wav" silent || fail "--mute was heard"
[[ ! -e "$XDG_STATE_HOME/dunmark/mute" ]] || fail "--mute was kept: $(cat "$XDG_STATE_HOME/dunmark/mute")"

start_captured muted_by_m
xdotool windowfocus --sync "$game_window" key m
walk
quit
"${hear[@]}" "$e2e_work/muted_by_m.wav" silent "$walk_seconds" || fail "the walk after M was heard"
start_captured kept_muted
walk
quit
"${hear[@]}" "$e2e_work/kept_muted.wav" silent || fail "the kept choice was not kept"
echo "heard as played; silent when muted by --mute, by M and by the kept choice"
