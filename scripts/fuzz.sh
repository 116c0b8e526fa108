#!/usr/bin/env bash
# Fuzzes every file format the game reads: BMP (each transparency mode), PNG,
# the MP3 music stream, the effects' WAV files and the browser's saved run, with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#   bash scripts/fuzz.sh [SECONDS]   SECONDS a target, default 60
# Builds into build-fuzz/ (or $DUNMARK_FUZZ_BUILD_DIR) with clang, makes the
# seed corpus, then runs each target in turn, starting from the minimized
# corpora of the long campaigns kept in fuzz/corpus/<target>/. The corpus each
# run grows is kept in build-fuzz/corpus/ for the next run. Exits non-zero on any crash,
# sanitizer report, hang or failed check; the input is saved under
# build-fuzz/artifacts/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
fuzz_build=${DUNMARK_FUZZ_BUILD_DIR:-$top/build-fuzz}
seconds=${1:-60}
[[ "$seconds" =~ ^[0-9]+$ && "$seconds" -gt 0 ]] || { echo "usage: fuzz.sh [SECONDS]" >&2; exit 2; }

bash "$here/setup.sh" --tests

cmake -S "$top/fuzz" -B "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$fuzz_build" -j "$(nproc)"
bash "$top/fuzz/make_corpus.sh" "$fuzz_build/bin/make_corpus" "$fuzz_build/corpus-seed"

# target:largest input:corpus (the browser build's PNG decoder, stb_png,
# starts from the PNG corpora)
targets=(bmp:4096:bmp png:4096:png stb_png:4096:png mp3:65536:mp3 wav:4096:wav save:4096:save)
failed=0
mkdir -p "$fuzz_build/logs" "$fuzz_build/artifacts"
for entry in "${targets[@]}"; do
  IFS=: read -r name max_len kept <<<"$entry"
  corpus=$fuzz_build/corpus/$name
  log=$fuzz_build/logs/$name.log
  mkdir -p "$corpus"
  echo "== fuzz_$name: $seconds s"
  # -close_fd_mask=2 drops the decoder's warnings about damaged frames;
  # libFuzzer's own lines, sanitizer reports and failed checks still come.
  if "$fuzz_build/bin/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
       -max_len="$max_len" -print_final_stats=1 -close_fd_mask=2 \
       -artifact_prefix="$fuzz_build/artifacts/$name-" \
       "$corpus" "$top/fuzz/corpus/$kept" "$fuzz_build/corpus-seed/$kept" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
    grep -E '^stat::number_of_executed_units' "$log" || true
  else
    failed=1
    echo "fuzz_$name FAILED; the end of $log:"
    tail -60 "$log"
    ls -1 "$fuzz_build/artifacts/$name-"* 2>/dev/null || true
  fi
done
if ((failed)); then
  echo "== Fuzzing found a fault"
  exit 1
fi
echo "== Fuzzing found nothing"
