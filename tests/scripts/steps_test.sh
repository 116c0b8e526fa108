#!/usr/bin/env bash
# The step runner of CI and the whole test run (scripts/steps.sh): a step
# that hangs is ended by its limit with everything it started, and says so
# by name with the end of its log; a failed step shows its end too; nested
# steps report to the outermost output; the table ends with the total.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat "$work/out" 2>/dev/null; exit 1; }

# Runs a script of steps with a fresh report; its output goes to $work/out.
run_steps() {
  env -u DUNMARK_STEP_FD DUNMARK_STEP_LOGS="$work/logs" bash -c "set -e; source '$here/../../scripts/steps.sh'; $1" \
    >"$work/out" 2>&1
}

# A hang: the command and a child of its own that would outlive it.
start=$SECONDS
if run_steps "step 'a hang' 2 bash -c 'echo sleeping on; sleep 300 & echo \$! >$work/child; wait'"; then
  fail "a step past its limit passed"
fi
((SECONDS - start < 60)) || fail "the hang was not ended by its limit"
grep -q '^a hang .* TIMED OUT' "$work/out" || fail "the hang is not reported by name"
grep -q 'ended by its limit of 2 s' "$work/out" || fail "no word of the limit"
grep -q '^| sleeping on$' "$work/out" || fail "the end of the hang's log is not shown"
# Gone, or a zombie that nobody reaped yet: the signal takes a moment to land.
child=$(cat "$work/child")
for ((i = 0; i < 300; i++)); do
  state=$(awk '{ print $3 }' "/proc/$child/stat" 2>/dev/null || true)
  [[ -z "$state" || "$state" == Z ]] && break
  sleep 0.1
done
[[ -z "$state" || "$state" == Z ]] || fail "the hang's child outlived it"

# A failure stops the run at once, with its end, the lines further up that
# tell of a failure, and the table so far.
if run_steps "step ok 10 true; step broken 10 bash -c 'echo why it broke; exit 3'; step never 10 true"; then
  fail "a run with a failed step passed"
fi
grep -q '^broken .* failed (3)' "$work/out" || fail "the failure is not reported with its code"
grep -q '^| why it broke$' "$work/out" || fail "the failure's log is not shown"
grep -q '^  ok .* passed' "$work/out" || fail "the table lacks the step that passed"
! grep -q never "$work/out" || fail "a step ran after a failure"
if run_steps "step far 10 bash -c 'echo FAIL: far up; seq 100; exit 1'"; then fail "a failed step passed"; fi
grep -q '^| 1:FAIL: far up$' "$work/out" || fail "a failure above the log's end is not shown"

# Nested steps report to the outermost output, indented; then the total.
inner="source '$here/../../scripts/steps.sh'; step inner 10 true"
run_steps "step outer 10 bash -c \"$inner\"; steps_done" || fail "nested steps failed"
grep -q '^  inner .* passed' "$work/out" || fail "the inner step is not on the outer output"
grep -q '^  total .* passed$' "$work/out" || fail "no total"
echo "PASS"
