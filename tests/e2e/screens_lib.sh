# A fixed walk through every screen of the real program, driven by real X
# pointer events, with a capture of the window at each step. Sourced after
# lib.sh by test_screens.sh, update_screens.sh and scripts/screenshots.sh.
#
# screens_mode:
#   check   each step waits until the window shows its reference picture in
#           tests/e2e/screens/ (pixels under the step's masks ignored, every
#           other pixel equal) and fails after the game has run for
#           screens_timeout seconds without showing it
#   update  each step waits out the game's own timers and writes the capture
#           as the new reference
#   export  like update, into screens_out instead of the references
#
# screens_language:
#   ru      (the default) the game as it starts with no choice made, checked
#           against the references in tests/e2e/screens/
#   en      the game started with --language en; a screen whose texts differ
#           has its own reference in tests/e2e/screens/en/, the others (the
#           world card, the walk) are checked against the Russian ones. In
#           update mode a capture that matches the Russian reference writes
#           no English one.
#
# The game seeds its random numbers with the time in seconds, so it runs with
# the wall clock frozen (libfaketime) and every run meets the same world. The
# monotonic clock is left alone: the game thread paces its ticks by it.

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
screens_refs=${screens_refs:-$e2e_dir/screens}
screens_masks="$screens_refs/masks.txt"
screens_mode=${screens_mode:-check}
screens_out=${screens_out:-}
screens_language=${screens_language:-ru}
screens_refs_en="$screens_refs/en"
# A step may wait out 140 ticks of game time (a panel closing, a walk, a panel
# opening); a game starved beside other work was seen ticking only about
# twice a second, so the walk's patience is three times the usual.
screens_timeout=${screens_timeout:-$((3 * e2e_patience))}
frozen_time="2026-01-10 12:00:00"
screens_step=0
screens_previous=""

# Window coordinates (the game draws its 320x240 screen at twice the size).
# The middle button is pressed low, below the message box's OK area, which
# lies inside it: a release on that area would also dismiss the message that
# the same click brought up (the dice result).
button_left=(160 290)
button_middle=(320 312)
button_right=(480 290)
ok_button=(320 280)
parked=(4 4)

# The clock library from the faketime package, multi-threaded flavour.
faketime_library() {
  local lib
  for lib in /usr/lib/*/faketime/libfaketimeMT.so.1 /usr/lib/faketime/libfaketimeMT.so.1; do
    [[ -f "$lib" ]] && { echo "$lib"; return 0; }
  done
  return 1
}

# Starts the game (its own process, so that cleanup can end it) with the wall
# clock stopped at frozen_time.
start_frozen_game() {
  local lib args=()
  lib=$(faketime_library) || fail "libfaketime is not installed (faketime in scripts/packages-test.txt)"
  [[ "$screens_language" == ru ]] || args=(--language "$screens_language")
  # A sanitizer build must accept the preloaded library ahead of its runtime.
  (cd "$e2e_work/bin" && TZ=UTC LD_PRELOAD="$lib" FAKETIME="$frozen_time" FAKETIME_DONT_FAKE_MONOTONIC=1 \
      ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
      exec "$dunmark_bin" "${args[@]}" >"$e2e_work/out.txt" 2>"$e2e_work/err.txt") &
  game_pid=$!
  e2e_pids+=("$game_pid")
}

capture() {
  local file=$1 i
  for i in 1 2 3 4 5; do
    import -window "$game_window" "png:$file" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "could not capture window $game_window"
}

# Number of pixels that differ between two images of the same size.
differing_pixels() {
  local count
  count=$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1 >/dev/null || true)
  count=${count%% (*}   # ImageMagick 7 adds the normalised value: "604 (0.00393)"
  [[ "$count" =~ ^[0-9.e+]+$ ]] || { echo "compare failed on $1 and $2: $count" >&2; echo error; return 0; }
  awk -v c="$count" 'BEGIN { printf "%d\n", c }'
}

# Same, failing the test when the images cannot be compared.
pixel_count() {
  local count
  count=$(differing_pixels "$1" "$2")
  [[ "$count" =~ ^[0-9]+$ ]] || fail "cannot compare $1 with $2"
  echo "$count"
}

# The rectangles of masks.txt for one step, as ImageMagick draw commands.
mask_draws() {
  awk -v step="$1" '$1 == step { printf "rectangle %d,%d %d,%d\n", $2, $3, $2 + $4 - 1, $3 + $5 - 1 }' \
    "$screens_masks"
}

# Copies an image with the step's masked rectangles painted black.
masked_copy() {
  local step=$1 from=$2 to=$3 draws
  draws=$(mask_draws "$step")
  if [[ -z "$draws" ]]; then
    cp "$from" "$to"
  else
    /usr/bin/convert "$from" -fill black -draw "$draws" "png:$to"
  fi
}

move_pointer() {
  xdotool mousemove --window "$game_window" "$1" "$2"
}

park_pointer() {
  move_pointer "${parked[@]}"
}

click() {
  click_at "$game_window" "$1" "$2"
}

# Waits until the screen matches the step's reference. The game is stopped
# while a picture is taken and compared, and then runs for a slice of 0.5 s,
# 30 ticks at the most (its clock drops the ticks it missed while stopped):
# the world card and the walk, which move on by themselves after 100 ticks,
# are caught however slowly a busy machine takes and compares pictures, and
# the patience counts only the slices the game ran.
screens_slice=0.5
# The reference a step is checked against in the walk's language.
reference_of() {
  if [[ "$screens_language" == en && -f "$screens_refs_en/$1.png" ]]; then
    echo "$screens_refs_en/$1.png"
  else
    echo "$screens_refs/$1.png"
  fi
}

# Writes an English step's capture as its reference, unless it matches the
# Russian one: then the step keeps none of its own.
update_english_reference() {
  local name=$1 shot=$2
  mkdir -p "$screens_refs_en"
  masked_copy "$name" "$screens_refs/$name.png" "$e2e_work/ref.png"
  masked_copy "$name" "$shot" "$e2e_work/masked.png"
  if [[ "$(differing_pixels "$e2e_work/ref.png" "$e2e_work/masked.png")" == 0 ]]; then
    rm -f "$screens_refs_en/$name.png"
  else
    cp "$shot" "$screens_refs_en/$name.png"
  fi
}

await_reference() {
  local name=$1 ref shot=$2 slices=0 diff="" fewest=""
  ref=$(reference_of "$name")
  [[ -f "$ref" ]] || fail "no reference $ref: run tests/e2e/update_screens.sh"
  masked_copy "$name" "$ref" "$e2e_work/ref.png"
  while ((slices < 2 * screens_timeout)); do
    kill -STOP "$game_pid" 2>/dev/null ||
      fail "screen $name: the game ended before it showed: $(tail -3 "$e2e_work/err.txt" 2>/dev/null)"
    capture "$shot"
    masked_copy "$name" "$shot" "$e2e_work/masked.png"
    diff=$(differing_pixels "$e2e_work/ref.png" "$e2e_work/masked.png")
    kill -CONT "$game_pid"
    [[ "$diff" == 0 ]] && return 0
    sleep "$screens_slice"
    slices=$((slices + 1))
    if [[ "$diff" =~ ^[0-9]+$ ]] && [[ -z "$fewest" || "$diff" -lt "$fewest" ]]; then
      fewest=$diff
      cp "$shot" "$e2e_work/closest.png"
    fi
  done
  local keep="$build/test-work/e2e/screens-failed"
  rm -rf "$keep"
  mkdir -p "$keep"
  cp "$e2e_work"/shots/*.png "$keep/"
  [[ -n "$fewest" ]] || fail "screen $name: no capture could be compared with $ref"
  masked_copy "$name" "$e2e_work/closest.png" "$keep/$name-closest.png"
  /usr/bin/compare "$e2e_work/ref.png" "$keep/$name-closest.png" "png:$keep/$name-diff.png" 2>/dev/null || true
  fail "screen $name: never matched $ref while the game ran ${screens_timeout} s; the closest capture had $fewest differing pixels (captures and diff in $keep)"
}

# Title and game-over screens blink their prompt; a new picture shows it.
prompt_showing() {
  /usr/bin/convert "$1" -crop 360x24+140+410 +repage -fill white +opaque black \
    -format "%[fx:mean > 0 ? 1 : 0]" info:
}

# Waits out the game's timers (seconds) and captures a settled picture.
settle_and_capture() {
  local name=$1 seconds=$2 shot=$3 i
  sleep "$seconds"
  capture "$shot"
  if [[ "$name" == title || "$name" == game_over ]]; then
    for i in $(seq 1 40); do
      [[ "$(prompt_showing "$shot")" == 1 ]] && return 0
      sleep 0.05
      capture "$shot"
    done
  fi
}

# One step of the walk: the screen called name, reached within the given
# seconds of game time. Every step's capture is kept in the scratch folder,
# must show something and must differ from the step before.
screen_step() {
  local name=$1 seconds=$2 shot
  screens_step=$((screens_step + 1))
  shot=$(printf "%s/shots/%02d-%s.png" "$e2e_work" "$screens_step" "$name")
  mkdir -p "$e2e_work/shots"
  local result="saved" start=$SECONDS
  case "$screens_mode" in
    check) await_reference "$name" "$shot"; result="matches its reference after $((SECONDS - start)) s" ;;
    update)
      settle_and_capture "$name" "$seconds" "$shot"
      if [[ "$screens_language" == en ]]; then
        update_english_reference "$name" "$shot"
      else
        cp "$shot" "$screens_refs/$name.png"
      fi
      ;;
    export) settle_and_capture "$name" "$seconds" "$shot"; cp "$shot" "$screens_out/$(basename "$shot")" ;;
    *) fail "unknown screens_mode $screens_mode" ;;
  esac

  local lit
  lit=$(pixel_count "$shot" "$e2e_work/black.png")
  ((lit > 500)) || fail "step $screens_step ($name) is nearly black: $lit lit pixels"
  if [[ -n "$screens_previous" ]]; then
    local changed
    changed=$(pixel_count "$shot" "$screens_previous")
    ((changed > 0)) || fail "step $screens_step ($name) looks the same as the step before"
  fi
  screens_previous=$shot
  printf "%02d %-16s %s\n" "$screens_step" "$name" "$result"
}

# Seconds of game time: 60 ticks a second; the world card and each walk last
# 100 ticks, opening and closing the encounter panel 20 ticks each. The waits
# in update and export mode add a margin for a busy machine.
card_wait=0.8
walk_wait=1.5       # from the world card to the middle of the first walk
next_encounter=3.2  # closing panel, walk, opening panel
popup_wait=0.8      # stat popups rise for 25 drawn frames

# The world of the frozen clock: 1 slime, 2 mercenary camp, 3 forge,
# 4 skeleton, 5 zombie, 6 wizard's shop, 7 dragon.
play_route() {
  screen_step title 1.0
  click 320 240
  screen_step world_card "$card_wait"
  screen_step travel "$walk_wait"

  # Slime (20 hp, attack 6): two blows; its counter-blow costs 3 health.
  move_pointer "${button_left[@]}"
  screen_step slime "$next_encounter"
  click "${button_left[@]}"
  park_pointer
  screen_step slime_hit "$popup_wait"
  click "${button_left[@]}"
  park_pointer
  screen_step slime_defeated "$popup_wait"
  click "${ok_button[@]}"
  park_pointer

  # Mercenary camp: one game of dice, then leave.
  screen_step camp "$next_encounter"
  click "${button_middle[@]}"
  park_pointer
  screen_step dice "$popup_wait"
  click "${ok_button[@]}"
  click "${button_right[@]}"

  # Forge: +1 attack, then leave.
  move_pointer "${button_left[@]}"
  screen_step forge "$next_encounter"
  click "${button_left[@]}"
  screen_step forge_bought "$popup_wait"
  click "${button_right[@]}"
  park_pointer

  # Skeleton and zombie: run away.
  screen_step skeleton "$next_encounter"
  click "${button_right[@]}"
  park_pointer
  screen_step zombie "$next_encounter"
  click "${button_right[@]}"

  # Wizard's shop, pointer over the potion.
  move_pointer "${button_left[@]}"
  screen_step shop "$next_encounter"
  click "${button_right[@]}"
  park_pointer

  # Dragon (200 hp, attack 20): no way out. A potion brings health back to
  # 100; six blows later, each answered with 20 - 1 - 2 = 17 damage, the hero
  # falls.
  screen_step dragon "$next_encounter"
  click "${button_middle[@]}"
  park_pointer
  screen_step dragon_potion "$popup_wait"
  local blow
  for blow in 1 2 3 4 5 6; do
    click "${button_left[@]}"
  done
  park_pointer
  screen_step defeat "$popup_wait"
  click "${ok_button[@]}"
  park_pointer
  screen_step game_over 0.5
  click 320 240
  park_pointer
  screen_step title 1.0
}

# Starts Xvfb (or takes the display named by DUNMARK_E2E_DISPLAY, a desktop's)
# and the frozen game, walks the route, closes the game with Escape and
# checks that it ended cleanly.
run_screens() {
  make_workdir
  if [[ -n "${DUNMARK_E2E_DISPLAY:-}" ]]; then
    export DISPLAY=$DUNMARK_E2E_DISPLAY
  else
    start_xvfb
  fi
  /usr/bin/convert -size 640x480 xc:black "png:$e2e_work/black.png"
  start_frozen_game
  game_window=$(wait_window "Norvik-104 DUNMARK!") || fail "no game window"
  wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish: $(cat "$e2e_work/err.txt")"
  park_pointer

  play_route

  press_escape "$game_window"
  wait_game
  [[ "$game_code" == 0 ]] || fail "exit code $game_code after Escape"
  [[ "$(tail -1 "$e2e_work/out.txt")" == "goodbye" ]] || fail "no goodbye: $(tail -3 "$e2e_work/out.txt")"
}
