#!/usr/bin/env bash
# The real program against a damaged installation: every picture missing,
# cut short, replaced by garbage or by a folder; a Log.txt that cannot be
# written; no audio device. A damaged picture or a missing device ends the
# program with its error line and exit code 1, never with a signal or a
# sanitizer report; an unwritable Log.txt changes nothing on the console.
source "$(dirname "$0")/lib.sh"

# The pictures in the order the program loads them.
art=(font.bmp system.bmp icon.bmp char.png title.png grass.png forest.png snow.png swamp.png
     desert.png wasteland.png galaxy.png)
damages=(missing half ten-bytes garbage folder)
batch_size=6
# Half the patience (30 s by default) for each game, six of them at a time.
case_timeout=$((e2e_patience / 2))

e2e_work=$(mktemp -d /tmp/dunmark-faults-XXXXXX)
chmod 755 "$e2e_work"
start_xvfb
# The server resets whenever its last client leaves, and a game starting in
# that moment cannot open the display: one idle client stays connected.
xprop -root -spy >/dev/null 2>&1 &
e2e_pids+=($!)
export ALSOFT_DRIVERS=null

# A folder shaped like the build tree with its own copy of the art.
make_case() {
  local dir=$e2e_work/$1
  mkdir -p "$dir/bin"
  cp -r "$build/gfx" "$dir/gfx"
  echo "$dir"
}

damage_file() {
  local file=$1 how=$2 size
  case "$how" in
    missing) rm -f "$file" ;;
    half)
      size=$(stat -c %s "$file")
      truncate -s $((size / 2)) "$file" ;;
    ten-bytes) truncate -s 10 "$file" ;;
    # Deterministic bytes that are neither a BMP nor a PNG header.
    garbage) printf 'not a picture at all\n%.0s' $(seq 150) >"$file" ;;
    folder) rm -f "$file"; mkdir "$file" ;;
    *) fail "unknown damage $how" ;;
  esac
}

# The line the loader must end with for a picture damaged this way.
expected_error() {
  local name=$1 how=$2
  if [[ "$name" == *.png ]]; then
    echo "GE.error: LodePNG decoder error; cannot load ../gfx/$name"
    return
  fi
  case "$how" in
    missing) echo "GE.error: Cannot open texture file" ;;
    garbage) echo "GE.error: Do not know this format" ;;
    *) echo "GE.error: Texture file is truncated" ;;
  esac
}

loaded_line() {
  local name=$1
  if [[ "$name" == *.bmp ]]; then
    echo "GE.message: Texture ../gfx/$name is loaded."
  else
    echo "GE.message: ../gfx/$name was loaded by LodePNG"
  fi
}

# Runs the game in a case folder in the background; the exit code lands in
# the folder's code file (124 if it had to be stopped). The runner's pid is
# added to launched.
launched=()
launch() {
  local dir=$1
  shift
  (
    cd "$dir/bin"
    code=0
    timeout -k 5 "$case_timeout" "$@" "$dunmark_bin" >"$dir/out.txt" 2>"$dir/err.txt" || code=$?
    echo "$code" >"$dir/code"
  ) &
  launched+=($!)
}

wait_launched() {
  local pid
  for pid in "${launched[@]}"; do wait "$pid" || true; done
  launched=()
}

check_no_crash() {
  local dir=$1 what=$2 code
  code=$(cat "$dir/code")
  ((code < 124)) || fail "$what: ended with $code (stopped or killed by a signal); stderr: $(tail -5 "$dir/err.txt")"
  if grep -qE "Sanitizer|runtime error:" "$dir/err.txt"; then
    fail "$what: sanitizer report: $(head -20 "$dir/err.txt")"
  fi
}

check_damaged() {
  local dir=$1 index=$2 how=$3
  local name=${art[$index]} what="${art[$index]} $how" want last i
  check_no_crash "$dir" "$what"
  [[ "$(cat "$dir/code")" == 1 ]] || fail "$what: exit code $(cat "$dir/code"), not 1"
  want=$(expected_error "$name" "$how")
  last=$(tail -1 "$dir/out.txt")
  [[ "$last" == "$want" ]] || fail "$what: last console line '$last', want '$want'"
  [[ "$(tail -1 "$dir/bin/Log.txt")" == "$want" ]] || fail "$what: the error line is not last in Log.txt"
  ! grep -qxF goodbye "$dir/out.txt" || fail "$what: said goodbye after an error"
  for ((i = 0; i < index; i++)); do
    grep -qxF "$(loaded_line "${art[$i]}")" "$dir/out.txt" ||
      fail "$what: ${art[$i]} was not loaded before it"
  done
  ! grep -qxF "$(loaded_line "$name")" "$dir/out.txt" || fail "$what: reported as loaded"
}

# Every damaged case, a batch at a time on the one display.
cases=()
for index in "${!art[@]}"; do
  for how in "${damages[@]}"; do
    cases+=("$index:$how")
  done
done
for ((start = 0; start < ${#cases[@]}; start += batch_size)); do
  batch=("${cases[@]:start:batch_size}")
  for entry in "${batch[@]}"; do
    index=${entry%%:*}
    how=${entry#*:}
    dir=$(make_case "${art[$index]}-$how")
    damage_file "$dir/gfx/${art[$index]}" "$how"
    launch "$dir"
  done
  wait_launched
  for entry in "${batch[@]}"; do
    index=${entry%%:*}
    how=${entry#*:}
    check_damaged "$e2e_work/${art[$index]}-$how" "$index" "$how"
  done
done
echo "damaged pictures: ${#cases[@]} cases end with their error line and exit code 1"

# No audio device: the pictures load, then the sound engine's error line.
dir=$(make_case no-audio)
ALSOFT_DRIVERS=nosuch launch "$dir"
wait_launched
check_no_crash "$dir" "no audio device"
[[ "$(cat "$dir/code")" == 1 ]] || fail "no audio device: exit code $(cat "$dir/code"), not 1"
[[ "$(tail -1 "$dir/out.txt")" == "SE.error: Cannot open device" ]] ||
  fail "no audio device: last line '$(tail -1 "$dir/out.txt")'"
grep -qxF "$(loaded_line galaxy.png)" "$dir/out.txt" || fail "no audio device: the art was not loaded first"
! grep -qxF goodbye "$dir/out.txt" || fail "no audio device: said goodbye after an error"
echo "no audio device: SE.error: Cannot open device, exit code 1"

# An unwritable Log.txt: the game starts, shows the title and closes with
# Escape exactly as usual, every line still on the console.
run_unwritable_log() {
  local dir=$1 what=$2
  shift 2
  local id
  (cd "$dir/bin" && exec "$@" "$dunmark_bin" >"$dir/out.txt" 2>"$dir/err.txt") &
  game_pid=$!
  e2e_pids+=("$game_pid")
  id=$(wait_window "Norvik-104 DUNMARK!") || fail "$what: no window; the game said: $(tail -5 "$dir/out.txt" "$dir/err.txt" 2>/dev/null)"
  wait_output_line "SE.message: Sound Engine is created!" "$dir/out.txt" || fail "$what: start-up did not finish"
  sleep 0.3
  kill -0 "$game_pid" 2>/dev/null || fail "$what: the game ended on its own"
  press_escape "$id"
  wait_game
  [[ "$game_code" == 0 ]] || fail "$what: exit code $game_code after Escape"
  if grep -qE "Sanitizer|runtime error:" "$dir/err.txt"; then
    fail "$what: sanitizer report: $(head -20 "$dir/err.txt")"
  fi
  [[ "$(tail -1 "$dir/out.txt")" == "goodbye" ]] || fail "$what: last line is not goodbye"
  local name
  for name in "${art[@]}"; do
    grep -qxF "$(loaded_line "$name")" "$dir/out.txt" || fail "$what: no console line for $name"
  done
  for line in "GE.message: Loading Graphic Engine..." "GE.message: Graphic Engine is ready!" \
      "SE.message: Start creating Sound Engine" "GE.message: Graphic Engine is destroyed." \
      "SE.message: Killing Sound Engine..." "SE.message: Sound Engine is destroyed!"; do
    grep -qxF "$line" "$dir/out.txt" || fail "$what: no console line '$line'"
  done
}

dir=$(make_case log-folder)
mkdir "$dir/bin/Log.txt"
run_unwritable_log "$dir" "Log.txt is a folder"
[[ -d "$dir/bin/Log.txt" && -z "$(ls -A "$dir/bin/Log.txt")" ]] || fail "the Log.txt folder was changed"
echo "Log.txt a folder: runs, console complete, goodbye and 0"

dir=$(make_case read-only)
chmod 555 "$dir/bin"
as_other_user=()
game_bin=$dunmark_bin
if [[ $(id -u) -eq 0 ]]; then
  # Permissions do not hold back root: run as nobody, with a copy of the game
  # in the case's folder, as the build folder may be one nobody cannot enter
  # (a checkout under /root).
  as_other_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  cp "$dunmark_bin" "$dir/dunmark"
  dunmark_bin=$dir/dunmark
  # A copy of the sanitizer build's leak suppressions too, for the same reason.
  if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]+) ]]; then
    cp "${BASH_REMATCH[1]}" "$dir/lsan.supp"
    as_other_user=(env "LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$dir/lsan.supp}" "${as_other_user[@]}")
  fi
fi
run_unwritable_log "$dir" "read-only working folder" "${as_other_user[@]}"
dunmark_bin=$game_bin
[[ ! -e "$dir/bin/Log.txt" ]] || fail "Log.txt appeared in a read-only folder"
chmod 755 "$dir/bin"
echo "read-only working folder: runs, console complete, goodbye and 0"
echo "PASS"
