# Named, timed and bounded steps of a long run (CI, the whole test run).
# Sourced:
#   step NAME LIMIT COMMAND...   runs COMMAND with its output in a log of its
#                                own; past LIMIT seconds it is ended (TERM,
#                                then KILL 90 s later) with its whole
#                                process group. Prints one line: the name, the
#                                wall time and the result. A failed step also
#                                prints the end of its log, then the table of
#                                every step so far, and returns non-zero.
#   steps_done                   prints the table of every step and the total
# The logs go to $DUNMARK_STEP_LOGS (default build/steps/ under the project).
# A slow machine's raised patience (DUNMARK_E2E_PATIENCE, seconds, above the
# usual 60: an emulated one, say) raises every limit with it: times
# patience / 30.
# Steps nest: a step's command may run steps of its own. Their lines go
# straight to the outermost run's output, indented, as they happen.
here_steps=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
step_logs=${DUNMARK_STEP_LOGS:-$(cd "$here_steps/.." && pwd)/build/steps}
step_rows=()
step_started=$SECONDS
step_tail_lines=${DUNMARK_STEP_TAIL:-60}
step_limit_factor=1
if [[ "${DUNMARK_E2E_PATIENCE:-}" =~ ^[0-9]+$ ]] && ((DUNMARK_E2E_PATIENCE > 60)); then
  step_limit_factor=$((DUNMARK_E2E_PATIENCE / 30))
fi
step_failure_lines='\*\*\*Failed|\*\*\*Timeout|: Failure$|^FAIL|FAILED|[Ee]rror: |^Expected|^  Actual|Which is: '

# The outermost run's output: where every nested step reports.
if [[ -z "${DUNMARK_STEP_FD:-}" ]] || ! { true >&"$DUNMARK_STEP_FD"; } 2>/dev/null; then
  exec {DUNMARK_STEP_FD}>&1
  export DUNMARK_STEP_FD DUNMARK_STEP_DEPTH=0
fi
step_indent=$(printf '%*s' $((2 * ${DUNMARK_STEP_DEPTH:-0})) '')

step_report() { printf '%s%s\n' "$step_indent" "$*" >&"$DUNMARK_STEP_FD"; }

step_row() {  # NAME SECONDS LIMIT RESULT
  printf '%-58s %6s s  %-9s (limit %s s)' "$1" "$2" "$4" "$3"
}

step() {
  local name=$1 limit=$(($2 * step_limit_factor)) log pid code seconds result start=$SECONDS traps
  shift 2
  mkdir -p "$step_logs"
  log=$step_logs/$(printf '%02d' $((${#step_rows[@]} + 1)))-$(tr -c 'A-Za-z0-9.\n-' '-' <<<"$name" | tr -s '-' | head -c 60).log
  step_report "step: $name ..."
  DUNMARK_STEP_DEPTH=$((${DUNMARK_STEP_DEPTH:-0} + 1)) \
    timeout --kill-after=90 "$limit" "$@" >"$log" 2>&1 </dev/null &
  pid=$!
  # A signal to this run ends the step's whole process group too.
  traps=$(trap -p TERM INT HUP)
  trap 'kill -TERM "$pid" 2>/dev/null' TERM INT HUP
  while :; do
    code=0
    wait "$pid" || code=$?
    ((code > 128)) && kill -0 "$pid" 2>/dev/null || break
  done
  trap - TERM INT HUP
  eval "$traps"
  seconds=$((SECONDS - start))
  case $code in
    0) result=passed ;;
    124 | 137) result="TIMED OUT" ;;
    *) result="failed ($code)" ;;
  esac
  step_rows+=("$(step_row "$name" "$seconds" "$limit" "$result")")
  step_report "${step_rows[-1]}"
  ((code == 0)) && return 0
  if [[ "$result" == "TIMED OUT" ]]; then
    step_report "step: $name was ended by its limit of $limit s; what it was doing, the end of $log:"
  else
    step_report "step: $name failed; the end of $log:"
  fi
  tail -n "$step_tail_lines" "$log" | sed "s/^/$step_indent| /" >&"$DUNMARK_STEP_FD"
  # What said it failed may lie further up (a test's own output, say).
  if grep -qE "$step_failure_lines" "$log"; then
    step_report "step: the log's lines that tell of a failure (the last 30):"
    grep -nE "$step_failure_lines" "$log" | tail -n 30 | sed "s/^/$step_indent| /" >&"$DUNMARK_STEP_FD"
  fi
  steps_done >/dev/null || true
  return "$code"
}

steps_done() {
  local row failed=0
  step_report "steps:"
  for row in "${step_rows[@]}"; do
    step_report "  $row"
    [[ "$row" == *" passed "* ]] || failed=1
  done
  step_report "  $(printf '%-58s %6s s  %s' total $((SECONDS - step_started)) "$( ((failed)) && echo failed || echo passed)")"
  return "$failed"
}
