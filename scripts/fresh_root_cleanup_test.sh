#!/usr/bin/env bash
# Tests the fresh-root check's ways out: a build that fails inside the root,
# and a check interrupted while the root is mounted, must each leave no mount
# and no root behind; and a root that still has a mount under it must never
# be removed. Needs root; takes a few minutes (the first two make real roots).
#   bash scripts/fresh_root_cleanup_test.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
parent=$(mktemp -d /var/tmp/dunmark-cleanup-test.XXXXXX)

fail() { echo "FAIL: $*" >&2; exit 1; }

mounts_under() { findmnt -rn -o TARGET | awk -v p="$1" 'index($0, p "/") == 1'; }

# The test's own folder goes only when nothing is mounted under it.
remove_parent() {
  umount "$parent/guard/root/inside" 2>/dev/null || true
  if [[ -n "$(mounts_under "$parent")" ]]; then
    echo "still mounted under $parent, not removing it: $(mounts_under "$parent")" >&2
    return 1
  fi
  rm -rf --one-file-system "$parent"
}
trap remove_parent EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

expect_clean() {
  local what=$1 left
  left=$(mounts_under "$parent")
  [[ -z "$left" ]] || fail "$what: still mounted: $left"
  left=$(find "$parent" -mindepth 1 -maxdepth 1 -name 'dunmark-fresh-root.*' -type d)
  [[ -z "$left" ]] || fail "$what: root left behind: $left"
  echo "ok: $what leaves no mount and no root"
}

# The guard: a mount under the root keeps the root, and what is mounted, whole.
guard() {
  (
    local mine=$parent
    source "$here/fresh_root_check.sh"
    root=$mine/guard/root
    mkdir -p "$root/inside"
    mount -t tmpfs guard-test "$root/inside"
    echo keep >"$root/inside/marker"
    if remove_root 2>/dev/null; then
      exit 1
    fi
    [[ -f "$root/inside/marker" && -d "$root" ]] || exit 2
    umount "$root/inside"
  ) || fail "a root with a mount under it was removed (code $?)"
  echo "ok: a root with a mount under it is not removed"
}

broken_build() {
  local code=0
  DUNMARK_FRESH_ROOT_BREAK=1 DUNMARK_FRESH_ROOT_PARENT=$parent bash "$here/fresh_root_check.sh" \
    >"$parent/broken.log" 2>&1 || code=$?
  ((code != 0)) || fail "a broken build inside the root passed"
  grep -q "Configuring incomplete, errors occurred" "$parent/broken.log" || { tail -20 "$parent/broken.log"; fail "the build did not fail where it was broken"; }
  expect_clean "a build that fails inside the root"
}

# Waits until the check has its root mounted, then sends the signal: to the
# check alone (as a supervisor's TERM would come), or to its whole process
# group (as Ctrl-C in a terminal does).
interrupted() {
  local signal=$1 whom=$2 pid i code=0
  # With job control on, the check gets a process group of its own and keeps
  # SIGINT (a plain background job would ignore it).
  set -m
  DUNMARK_FRESH_ROOT_PARENT=$parent bash "$here/fresh_root_check.sh" >"$parent/interrupted.log" 2>&1 &
  pid=$!
  set +m
  for ((i = 0; i < 600; i++)); do
    [[ -n "$(mounts_under "$parent")" ]] && break
    kill -0 "$pid" 2>/dev/null || fail "the check ended before mounting: $(tail -5 "$parent/interrupted.log")"
    sleep 1
  done
  sleep 5
  if [[ "$whom" == group ]]; then
    kill "-$signal" -- "-$pid"
  else
    kill "-$signal" "$pid"
  fi
  wait "$pid" || code=$?
  ((code != 0)) || fail "an interrupted check passed"
  expect_clean "a check interrupted by SIG$signal to the $whom"
}

[[ $(id -u) -eq 0 ]] || fail "needs root"
guard
broken_build
interrupted TERM check
interrupted INT group
echo "PASS"
